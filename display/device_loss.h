// What PresentFrame does with the device's answer to TestCooperativeLevel:
// wait for a lost device, reset one that can be reset, and present.
//
// Portable, over a tiny device interface, so that every branch is driven by a
// fake device in a native test; screen_d3d9.cpp fills the interface with the
// Direct3D 9 device. An Inactive screen still asks the device once per frame
// and comes back once the device is ready or can be reset: a short loss (a
// locked workstation, a display change) must not freeze the picture for good.
#pragma once

#include <cstdint>

namespace vivuvev {

// TestCooperativeLevel's answers, as Direct3D 9 numbers them.
constexpr int32_t DeviceOk = 0;                                                  // D3D_OK
constexpr int32_t DeviceLost = static_cast<int32_t>(0x88760868u);                // D3DERR_DEVICELOST
constexpr int32_t DeviceNotReset = static_cast<int32_t>(0x88760869u);            // D3DERR_DEVICENOTRESET
constexpr int32_t DeviceDriverInternalError = static_cast<int32_t>(0x88760827u);  // D3DERR_DRIVERINTERNALERROR

// How long PresentFrame waits for a lost device, in 1 ms sleeps.
constexpr uint32_t DeviceLostWaitMs = 32;

struct PresentDevice {
  int32_t (*TestCooperativeLevel)();
  // Drops what a reset invalidates (the canvases' device copies, the held
  // back buffer).
  void (*PrepareForReset)();
  bool (*Reset)();
  // Re-creates what PrepareForReset dropped and forgets the sent blend states.
  void (*AfterReset)();
  void (*EndScene)();
  bool (*Present)();
  uint32_t (*TickCount)();
  void (*Sleep)(uint32_t ms);
};

// One PresentFrame over a device that exists; screenActive is read and
// updated. Returns 1 normally, 0 when the device stayed lost, its reset
// failed or the driver reported an internal error.
int32_t PresentWithDeviceCheck(const PresentDevice& device, int32_t* screenActive);

}  // namespace vivuvev
