// Handle types that cross the platform seams. They are opaque to portable
// code; on Windows they hold the real HWND, HDC and HGDIOBJ values.
#pragma once

namespace vivuvev {

using WindowHandle = void*;
using DeviceContext = void*;
using GdiObject = void*;

}  // namespace vivuvev
