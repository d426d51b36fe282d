#include "display/device_loss.h"

namespace vivuvev {

namespace {

bool ResetDevice(const PresentDevice& device) {
  device.PrepareForReset();
  if (!device.Reset()) return false;
  device.AfterReset();
  return true;
}

int32_t Show(const PresentDevice& device, int32_t* screenActive) {
  device.EndScene();
  *screenActive = device.Present() ? 1 : 0;
  return 1;
}

}  // namespace

int32_t PresentWithDeviceCheck(const PresentDevice& device, int32_t* screenActive) {
  int32_t r = device.TestCooperativeLevel();
  if (*screenActive == 0) {
    // Asked once a frame: a device that is ready, or can be reset again,
    // brings the screen back; anything else leaves the last picture
    // standing. A ready device is presented to as is: resetting it would
    // throw the picture away on every frame in which presenting fails.
    if (r != DeviceNotReset && r != DeviceOk) return 1;
  } else if (r == DeviceDriverInternalError) {
    *screenActive = 0;
    return 0;
  } else if (r == DeviceLost) {
    const uint32_t t0 = device.TickCount();
    for (;;) {
      device.Sleep(1);
      r = device.TestCooperativeLevel();
      if (r == DeviceDriverInternalError) {
        *screenActive = 0;
        return 0;
      }
      if (r == DeviceNotReset || r == DeviceOk) break;
      if (device.TickCount() - t0 >= DeviceLostWaitMs) break;
    }
    if (r == DeviceLost) {
      *screenActive = 0;
      return 0;
    }
  }
  if (r == DeviceNotReset && !ResetDevice(device)) {
    *screenActive = 0;
    return 0;
  }
  return Show(device, screenActive);
}

}  // namespace vivuvev
