// The blit's rows four 32-bit or eight 16-bit pixels at a time with
// WebAssembly's 128-bit SIMD, the web build's kernel sets: scalar and this.
// An engine without SIMD refuses the whole module, so there is nothing to
// choose at run time.
//
// WebAssembly has no unsigned high-half multiply; built from two widening
// multiplies and a shuffle it cost more than the division by 255 in shifts
// that the loops use without it. Narrowing saturates signed lanes to
// unsigned bytes, as SSE2's pack does.
#include <wasm_simd128.h>

#include "software/blend_rows_simd.h"

namespace vivuvev {

namespace {

struct Simd128 {
  using V = v128_t;
  using Mask = v128_t;
  static constexpr int32_t Bytes = 16;
  static constexpr bool HasMultiplyAddBytes = false;
  static constexpr bool HasHighMultiply16 = false;
  static constexpr bool HasRoundingMultiply16 = true;

  static V Load(const void* p) { return wasm_v128_load(p); }
  static void Store(void* p, V v) { wasm_v128_store(p, v); }
  static V Splat16(uint32_t v) { return wasm_i16x8_splat(static_cast<int16_t>(v)); }
  static V Splat32(uint32_t v) { return wasm_i32x4_splat(static_cast<int32_t>(v)); }
  static V And(V a, V b) { return wasm_v128_and(a, b); }
  static V Or(V a, V b) { return wasm_v128_or(a, b); }
  static V Add16(V a, V b) { return wasm_i16x8_add(a, b); }
  static V Sub16(V a, V b) { return wasm_i16x8_sub(a, b); }
  static V Mul16(V a, V b) { return wasm_i16x8_mul(a, b); }
  static V RoundingMultiply16(V a, V b) { return wasm_i16x8_q15mulr_sat(a, b); }
  template <int N> static V Shl16(V v) { return wasm_i16x8_shl(v, N); }
  template <int N> static V Shr16(V v) { return wasm_u16x8_shr(v, N); }
  template <int N> static V Sar16(V v) { return wasm_i16x8_shr(v, N); }
  static V WidenLow8(V v) { return wasm_u16x8_extend_low_u8x16(v); }
  static V WidenHigh8(V v) { return wasm_u16x8_extend_high_u8x16(v); }
  static V Narrow16(V low, V high) { return wasm_u8x16_narrow_i16x8(low, high); }
  static uint64_t EqualBytes(V a, V b) { return wasm_i8x16_bitmask(wasm_i8x16_eq(a, b)); }
  static Mask TopBit32(V v) { return wasm_i32x4_shr(v, 31); }
  static V Select(Mask m, V yes, V no) { return wasm_v128_bitselect(yes, no, m); }
  static bool AnyTopBit(V v) { return wasm_i8x16_bitmask(v) != 0; }
  static V SwapRedBlue(V v) {
    return wasm_i8x16_shuffle(v, v, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
  }
};

const BlendKernels Simd128BlendKernels = {"simd128", &BlendLoops<Simd128>::Row32,
                                          &BlendLoops<Simd128>::Row16};

}  // namespace

int32_t AvailableBlendKernels(const BlendKernels** sets) {
  sets[0] = &ScalarBlendKernels;
  sets[1] = &Simd128BlendKernels;
  return 2;
}

}  // namespace vivuvev
