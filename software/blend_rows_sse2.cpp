// The blit's rows four 32-bit or eight 16-bit pixels at a time with SSE2,
// which every x86-64 processor has.
#include <emmintrin.h>

#include "software/blend_rows_simd.h"

namespace vivuvev {

namespace {

struct Sse2 {
  using V = __m128i;
  using Mask = __m128i;
  static constexpr int32_t Bytes = 16;
  static constexpr bool HasMultiplyAddBytes = false;
  static constexpr bool HasHighMultiply16 = true;
  static constexpr bool HasRoundingMultiply16 = false;

  static V Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
  static void Store(void* p, V v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
  static V Splat16(uint32_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
  static V Splat32(uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
  static V And(V a, V b) { return _mm_and_si128(a, b); }
  static V Or(V a, V b) { return _mm_or_si128(a, b); }
  static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
  static V Sub16(V a, V b) { return _mm_sub_epi16(a, b); }
  static V Mul16(V a, V b) { return _mm_mullo_epi16(a, b); }
  static V MulHigh16(V a, V b) { return _mm_mulhi_epu16(a, b); }
  template <int N> static V Shl16(V v) { return _mm_slli_epi16(v, N); }
  template <int N> static V Shr16(V v) { return _mm_srli_epi16(v, N); }
  template <int N> static V Sar16(V v) { return _mm_srai_epi16(v, N); }
  static V WidenLow8(V v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
  static V WidenHigh8(V v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }
  static V Narrow16(V low, V high) { return _mm_packus_epi16(low, high); }
  static uint64_t EqualBytes(V a, V b) {
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b)));
  }
  static Mask TopBit32(V v) { return _mm_srai_epi32(v, 31); }
  static V Select(Mask m, V yes, V no) {
    return _mm_or_si128(_mm_and_si128(m, yes), _mm_andnot_si128(m, no));
  }
  static bool AnyTopBit(V v) { return _mm_movemask_epi8(v) != 0; }
};

}  // namespace

const BlendKernels Sse2BlendKernels = {"sse2", &BlendLoops<Sse2>::Row32, &BlendLoops<Sse2>::Row16};

}  // namespace vivuvev
