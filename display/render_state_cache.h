// RenderStateCache: the last blend and vertex-format values sent to the
// device, so that an unchanged value is not sent again.
#pragma once

#include <cstdint>

namespace vivuvev {

enum RenderStateSlot : int32_t {
  CachedAlphaBlendEnable = 0,
  CachedSourceBlend = 1,
  CachedDestinationBlend = 2,
  CachedVertexFormat = 3,
  RenderStateSlots = 4,
};

// -1 means no value sent yet.
extern int32_t RenderStateCache[RenderStateSlots];

void ResetRenderStateCache();

}  // namespace vivuvev
