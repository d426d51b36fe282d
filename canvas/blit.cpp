#include "canvas/blit.h"

#include "canvas/canvas_store.h"
#include "display/render_state_cache.h"
#include "display/screen.h"

namespace vivuvev {

int32_t BeginBlendPass() { return 1; }

void EndBlendPass() {}

uint32_t SetBlendStates(int32_t enable, int32_t source, int32_t destination, int32_t format) {
  const int32_t values[RenderStateSlots] = {enable, source, destination, format};
  uint32_t sent = 0;
  for (int32_t slot = 0; slot < RenderStateSlots; ++slot) {
    if (RenderStateCache[slot] != values[slot]) {
      RenderStateCache[slot] = values[slot];
      sent |= 1u << slot;
    }
  }
  return sent;
}

void BlendCanvasToScreen(int32_t number, int32_t x, int32_t y, int32_t intensity) {
  const CanvasEntry* canvas = FindCanvas(number);
  if (canvas == nullptr) return;
  if (EnsureScene() == 0) return;
  // Only a visibility test: the quad itself is clipped where it is drawn.
  const int64_t right = int64_t{x} + canvas->width;
  const int64_t bottom = int64_t{y} + canvas->height;
  if (x >= TargetWidth() || y >= TargetHeight() || right <= 0 || bottom <= 0 || right <= x ||
      bottom <= y) {
    return;
  }
  const uint32_t sent = SetBlendStates(1, BlendSourceAlpha, BlendInvSourceAlpha, BlitVertexFormat);
  // Alpha is the low 8 bits of the intensity, the colour white.
  const uint32_t diffuse = static_cast<uint32_t>(intensity) * 16777216u + 0x00FFFFFFu;
  DrawCanvasQuad(*canvas, x, y, diffuse, sent);
}

}  // namespace vivuvev
