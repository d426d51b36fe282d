// The translucent blit: a canvas laid over the Screen's back buffer.
#pragma once

#include <cstdint>

namespace vivuvev {

struct CanvasEntry;

int32_t BeginBlendPass();
void BlendCanvasToScreen(int32_t number, int32_t x, int32_t y, int32_t intensity);
void EndBlendPass();

// Sends each of the four values that differs from RenderStateCache and
// remembers it; returns a bit per sent value (bit i for cache slot i).
uint32_t SetBlendStates(int32_t enable, int32_t source, int32_t destination, int32_t format);

constexpr int32_t BlendSourceAlpha = 5;     // D3DBLEND_SRCALPHA
constexpr int32_t BlendInvSourceAlpha = 6;  // D3DBLEND_INVSRCALPHA
constexpr int32_t BlitVertexFormat = 0x144;  // XYZRHW | DIFFUSE | TEX1

// Draws the canvas as one quad at (x, y) with the given diffuse colour; the
// platform's half of BlendCanvasToScreen (blit_d3d9.cpp, blit_software.cpp).
// sentStates is SetBlendStates' result.
void DrawCanvasQuad(const CanvasEntry& canvas, int32_t x, int32_t y, uint32_t diffuse,
                    uint32_t sentStates);

}  // namespace vivuvev
