// The blend kernel sets of a build for any processor but x86-64: the one-pixel
// formulas alone.
#include "software/blend_kernel_sets.h"

namespace vivuvev {

int32_t AvailableBlendKernels(const BlendKernels** sets) {
  sets[0] = &ScalarBlendKernels;
  return 1;
}

}  // namespace vivuvev
