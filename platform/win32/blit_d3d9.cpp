// The blit's quad on Direct3D 9: four pre-transformed vertices drawn from
// memory as a triangle strip, the canvas texture modulated by a white diffuse
// colour whose alpha is the intensity, blended source-alpha over the back
// buffer. Only the blend states that SetBlendStates reports as changed are
// sent.
#define NOMINMAX
#include <windows.h>

#include "canvas/blit.h"
#include "canvas/canvas_store.h"
#include "display/render_state_cache.h"
#include "platform/win32/win32_parts.h"

namespace vivuvev {

static_assert(BlendSourceAlpha == D3DBLEND_SRCALPHA && BlendInvSourceAlpha == D3DBLEND_INVSRCALPHA,
              "blend factors");
static_assert(BlitVertexFormat == (D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1), "vertex format");

namespace {

struct BlitVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
  float u, v;
};
static_assert(sizeof(BlitVertex) == 28, "BlitVertex is 28 bytes");

}  // namespace

void DrawCanvasQuad(const CanvasEntry& canvas, int32_t x, int32_t y, uint32_t diffuse,
                    uint32_t sentStates) {
  IDirect3DDevice9* device = ScreenDevice();
  if (device == nullptr) return;
  if (sentStates & (1u << CachedAlphaBlendEnable)) {
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, RenderStateCache[CachedAlphaBlendEnable]);
  }
  if (sentStates & (1u << CachedSourceBlend)) {
    device->SetRenderState(D3DRS_SRCBLEND, RenderStateCache[CachedSourceBlend]);
  }
  if (sentStates & (1u << CachedDestinationBlend)) {
    device->SetRenderState(D3DRS_DESTBLEND, RenderStateCache[CachedDestinationBlend]);
  }
  if (sentStates & (1u << CachedVertexFormat)) {
    device->SetFVF(static_cast<DWORD>(RenderStateCache[CachedVertexFormat]));
  }
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  // Half-pixel offsets map texels one to one onto back-buffer pixels.
  const float left = static_cast<float>(x) - 0.5f;
  const float top = static_cast<float>(y) - 0.5f;
  const float right = static_cast<float>(x + canvas.width) - 0.5f;
  const float bottom = static_cast<float>(y + canvas.height) - 0.5f;
  const TexturePoint* c = canvas.corners;
  const BlitVertex quad[4] = {
      {left, top, 0.0f, 1.0f, diffuse, c[0].u, c[0].v},
      {right, top, 0.0f, 1.0f, diffuse, c[1].u, c[1].v},
      {left, bottom, 0.0f, 1.0f, diffuse, c[2].u, c[2].v},
      {right, bottom, 0.0f, 1.0f, diffuse, c[3].u, c[3].v},
  };
  device->SetTexture(0, D3DTextureOf(canvas.store->texture));
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(BlitVertex));
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
}

}  // namespace vivuvev
