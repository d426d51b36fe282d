// The translucent blit's inner loops: one row of canvas pixels laid over one
// row of back-buffer pixels. Every set of loops gives exactly the bytes of
// the one-pixel formulas in pixels.h (BlendPixel32, BlendPixel16); the sets
// differ only in how many pixels they take at a time.
//
// Each build has the sets its processor family allows (blend_rows_x86.cpp
// on x86-64: SSE2 always, AVX2 and AVX-512 where the CPU has them and the
// build has them; blend_rows_generic.cpp elsewhere: the one-pixel formulas
// alone).
#pragma once

#include <cstdint>

namespace vivuvev {

// A row of count pixels: the canvas row laid over the screen row at an
// intensity of 0..255. The rows may start at any pixel address and must not
// overlap; count may be 0.
//
// A class-3 canvas row (A8R8G8B8) over an X8R8G8B8 back-buffer row.
using BlendRow32 = void (*)(uint32_t* screen, const uint32_t* canvas, int32_t count,
                            uint32_t intensity);
// A class-2 canvas row (A1R5G5B5) over an R5G6B5 back-buffer row.
using BlendRow16 = void (*)(uint16_t* screen, const uint16_t* canvas, int32_t count,
                            uint32_t intensity);

struct BlendKernels {
  const char* name;  // "scalar", "sse2", "avx2", "avx512"
  BlendRow32 row32;
  BlendRow16 row16;
};

// The most sets any build has.
constexpr int32_t MaxBlendKernelSets = 4;

// The widest set this CPU runs, chosen on first use.
const BlendKernels& ActiveBlendKernels();

// Every set this build has and this CPU runs, narrowest first, written to
// sets (room for MaxBlendKernelSets); returns how many. The first is always
// the scalar set. The tests and the benchmark hold each against the others.
int32_t AvailableBlendKernels(const BlendKernels** sets);

}  // namespace vivuvev
