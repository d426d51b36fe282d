// The blit's rows eight 32-bit or sixteen 16-bit pixels at a time with AVX2.
// Built with -mavx2 and run only where the processor has it.
#include <immintrin.h>

#include "software/blend_rows_simd.h"

namespace vivuvev {

namespace {

// Unpacking and packing work within each 128-bit half, so WidenLow8,
// WidenHigh8 and Narrow16 still undo one another.
struct Avx2 {
  using V = __m256i;
  using Mask = __m256i;
  static constexpr int32_t Bytes = 32;
  static constexpr bool HasMultiplyAddBytes = true;
  static constexpr bool HasHighMultiply16 = true;
  static constexpr bool HasRoundingMultiply16 = true;

  static V Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
  static void Store(void* p, V v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
  static V Splat16(uint32_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }
  static V Splat32(uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  static V Or(V a, V b) { return _mm256_or_si256(a, b); }
  static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
  static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
  static V Mul16(V a, V b) { return _mm256_mullo_epi16(a, b); }
  static V RoundingMultiply16(V a, V b) { return _mm256_mulhrs_epi16(a, b); }
  static V MulHigh16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
  template <int N> static V Shl16(V v) { return _mm256_slli_epi16(v, N); }
  template <int N> static V Shr16(V v) { return _mm256_srli_epi16(v, N); }
  template <int N> static V Sar16(V v) { return _mm256_srai_epi16(v, N); }
  static V WidenLow8(V v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
  static V WidenHigh8(V v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }
  static V Narrow16(V low, V high) { return _mm256_packus_epi16(low, high); }
  static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
  static V InterleaveLow8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
  static V InterleaveHigh8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
  static V MultiplyAddBytes(V a, V b) { return _mm256_maddubs_epi16(a, b); }
  static uint64_t EqualBytes(V a, V b) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, b)));
  }
  static Mask TopBit32(V v) { return _mm256_srai_epi32(v, 31); }
  static V Select(Mask m, V yes, V no) { return _mm256_blendv_epi8(no, yes, m); }
  static bool AnyTopBit(V v) { return _mm256_movemask_epi8(v) != 0; }
};

}  // namespace

const BlendKernels Avx2BlendKernels = {"avx2", &BlendLoops<Avx2>::Row32, &BlendLoops<Avx2>::Row16};

}  // namespace vivuvev
