// The kernel sets behind blend_rows.h, for the files that list them. Each set
// lives in a file of its own, built for its own instruction set.
#pragma once

#include <cstdint>

#include "software/blend_rows.h"

namespace vivuvev {

// The one-pixel formulas in a loop (blend_rows_scalar.cpp, built for the
// baseline instruction set): the scalar set's rows, and the heads, tails and
// odd-alpha groups of the vector loops.
void BlendRow32Scalar(uint32_t* screen, const uint32_t* canvas, int32_t count, uint32_t intensity);
void BlendRow16Scalar(uint16_t* screen, const uint16_t* canvas, int32_t count, uint32_t intensity);

extern const BlendKernels ScalarBlendKernels;  // blend_rows_scalar.cpp
extern const BlendKernels Sse2BlendKernels;    // blend_rows_sse2.cpp
extern const BlendKernels Avx2BlendKernels;    // blend_rows_avx2.cpp, -mavx2
extern const BlendKernels Avx512BlendKernels;  // blend_rows_avx512.cpp, -mavx512f -mavx512bw

}  // namespace vivuvev
