// The blend kernel sets of an x86-64 build: scalar and SSE2 always, AVX2 and
// AVX-512 where the processor and the operating system run them (the
// compiler's feature test covers both).
#include "software/blend_kernel_sets.h"

namespace vivuvev {

int32_t AvailableBlendKernels(const BlendKernels** sets) {
  int32_t count = 0;
  sets[count++] = &ScalarBlendKernels;
  sets[count++] = &Sse2BlendKernels;
  if (__builtin_cpu_supports("avx2")) sets[count++] = &Avx2BlendKernels;
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) {
    sets[count++] = &Avx512BlendKernels;
  }
  return count;
}

}  // namespace vivuvev
