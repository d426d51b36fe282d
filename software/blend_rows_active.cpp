// The set the blit uses: the widest one available, chosen once.
#include "software/blend_rows.h"

namespace vivuvev {

const BlendKernels& ActiveBlendKernels() {
  static const BlendKernels* const widest = [] {
    const BlendKernels* sets[MaxBlendKernelSets];
    return sets[AvailableBlendKernels(sets) - 1];
  }();
  return *widest;
}

}  // namespace vivuvev
