// The blit's rows sixteen 32-bit or thirty-two 16-bit pixels at a time with
// AVX-512 (F for 32-bit lanes, BW for bytes and 16-bit lanes). Built with
// -mavx512f -mavx512bw and run only where the processor has both.
#include <immintrin.h>

#include "software/blend_rows_simd.h"

namespace vivuvev {

namespace {

// Comparisons give mask registers, a bit per lane, and Select blends by one.
// Unpacking and packing work within each 128-bit quarter, so WidenLow8,
// WidenHigh8 and Narrow16 still undo one another.
struct Avx512 {
  using V = __m512i;
  using Mask = __mmask16;
  static constexpr int32_t Bytes = 64;
  static constexpr bool HasMultiplyAddBytes = true;
  static constexpr bool HasHighMultiply16 = true;
  static constexpr bool HasRoundingMultiply16 = true;

  static V Load(const void* p) { return _mm512_loadu_si512(p); }
  static void Store(void* p, V v) { _mm512_storeu_si512(p, v); }
  static V Splat16(uint32_t v) { return _mm512_set1_epi16(static_cast<short>(v)); }
  static V Splat32(uint32_t v) { return _mm512_set1_epi32(static_cast<int>(v)); }
  static V And(V a, V b) { return _mm512_and_si512(a, b); }
  static V Or(V a, V b) { return _mm512_or_si512(a, b); }
  static V Add16(V a, V b) { return _mm512_add_epi16(a, b); }
  static V Sub16(V a, V b) { return _mm512_sub_epi16(a, b); }
  static V Mul16(V a, V b) { return _mm512_mullo_epi16(a, b); }
  static V RoundingMultiply16(V a, V b) { return _mm512_mulhrs_epi16(a, b); }
  static V MulHigh16(V a, V b) { return _mm512_mulhi_epu16(a, b); }
  template <int N> static V Shl16(V v) { return _mm512_slli_epi16(v, N); }
  template <int N> static V Shr16(V v) { return _mm512_srli_epi16(v, N); }
  template <int N> static V Sar16(V v) { return _mm512_srai_epi16(v, N); }
  static V WidenLow8(V v) { return _mm512_unpacklo_epi8(v, _mm512_setzero_si512()); }
  static V WidenHigh8(V v) { return _mm512_unpackhi_epi8(v, _mm512_setzero_si512()); }
  static V Narrow16(V low, V high) { return _mm512_packus_epi16(low, high); }
  static V Xor(V a, V b) { return _mm512_xor_si512(a, b); }
  static V InterleaveLow8(V a, V b) { return _mm512_unpacklo_epi8(a, b); }
  static V InterleaveHigh8(V a, V b) { return _mm512_unpackhi_epi8(a, b); }
  static V MultiplyAddBytes(V a, V b) { return _mm512_maddubs_epi16(a, b); }
  static uint64_t EqualBytes(V a, V b) { return _mm512_cmpeq_epi8_mask(a, b); }
  static Mask TopBit32(V v) { return _mm512_cmplt_epi32_mask(v, _mm512_setzero_si512()); }
  static V Select(Mask m, V yes, V no) { return _mm512_mask_blend_epi32(m, no, yes); }
  static bool AnyTopBit(V v) { return _mm512_movepi8_mask(v) != 0; }
};

}  // namespace

const BlendKernels Avx512BlendKernels = {"avx512", &BlendLoops<Avx512>::Row32,
                                         &BlendLoops<Avx512>::Row16};

}  // namespace vivuvev
