// The Screen's Direct3D 9 device, for the other Direct3D files (the canvas
// surfaces and the blit). Only *_d3d9.cpp files include this header.
#pragma once

#include <d3d9.h>

namespace vivuvev {

// The open Screen's device, or null.
IDirect3DDevice9* ScreenDevice();

}  // namespace vivuvev
