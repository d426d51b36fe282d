#include "display/render_state_cache.h"

namespace vivuvev {

int32_t RenderStateCache[RenderStateSlots] = {-1, -1, -1, -1};

void ResetRenderStateCache() {
  for (int32_t& value : RenderStateCache) value = -1;
}

}  // namespace vivuvev
