// The blend kernel sets of a Windows x86-64 build: scalar and SSE2. MinGW-w64
// does not align the stack to 32 bytes for AVX values spilled there, so the
// wider sets are not built for Windows at all.
#include "software/blend_kernel_sets.h"

namespace vivuvev {

int32_t AvailableBlendKernels(const BlendKernels** sets) {
  sets[0] = &ScalarBlendKernels;
  sets[1] = &Sse2BlendKernels;
  return 2;
}

}  // namespace vivuvev
