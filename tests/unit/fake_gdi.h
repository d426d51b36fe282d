// A stand-in for the 2D interface that draws nothing and records every call,
// so that tests can read the exact sequence of calls a pass makes and count
// the objects it leaves alive.
#pragma once

#include <string>
#include <vector>

#include "base/handles.h"

namespace vivuvev {

// Calls since the last ResetFakeGdi, e.g. "CreatePen(0,0,0xff)=pen1".
const std::vector<std::string>& FakeGdiCalls();
// Pens, brushes, fonts and bitmaps made and not yet deleted.
int FakeGdiLiveObjects();
// Makes the next n CreatePen and CreateSolidBrush calls fail.
void FailNextFakeGdiCreations(int n);
void ResetFakeGdi();
// The device context the fake hands out.
DeviceContext FakeDC();

}  // namespace vivuvev
