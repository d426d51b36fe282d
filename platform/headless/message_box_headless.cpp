// Headless message box: nobody can read it, so it is recorded and counts as
// closed with OK at once.
#include "launch/message_box.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_parts.h"

namespace vivuvev {

namespace {
HeadlessMessageBox lastBox = {};
}

int32_t ShowMessageBox(const char* title, const char* message, uint32_t flags) {
  ++lastBox.calls;
  lastBox.title = title ? title : "";
  lastBox.message = message ? message : "";
  lastBox.flags = flags;
  return 1;
}

const HeadlessMessageBox& LastHeadlessMessageBox() { return lastBox; }

void ResetHeadlessMessageBox() { lastBox = HeadlessMessageBox{}; }

}  // namespace vivuvev
