#include "canvas/drawing_pass.h"

#include "base/system.h"
#include "canvas/gdi.h"

namespace vivuvev {

DrawingPass* CurrentDrawingPass = nullptr;

namespace {

constexpr uint32_t WhiteColour = 0x00FFFFFFu;

// A pass replaced before it ended: its own GDI objects are deleted and its
// record freed (BeginDrawing refuses it afterwards, as it is no longer
// current). The target's device context belongs to the provider, which
// hands the same one to the next pass on that target.
void DiscardPass(DrawingPass* pass) {
  if (pass->dcState != 0) pass->ops.StopPass(pass);
  HeapRelease(pass);
}

}  // namespace

uint32_t PackRGB(int32_t red, int32_t green, int32_t blue) {
  return static_cast<uint32_t>(red) + static_cast<uint32_t>(green) * 256u +
         static_cast<uint32_t>(blue) * 65536u;
}

DrawingPass* NewImagePass() {
  auto* pass = static_cast<DrawingPass*>(HeapAllocZeroed(sizeof(DrawingPass)));
  if (pass == nullptr) return nullptr;
  if (CurrentDrawingPass != nullptr) DiscardPass(CurrentDrawingPass);
  CurrentDrawingPass = pass;
  pass->frontColour = WhiteColour;
  pass->lastAppliedColour = NoColourApplied;
  pass->ops = ImageDrawingOps;
  return pass;
}

DeviceContext BeginDrawing(DrawingPass* target) {
  // A target is the current pass or nothing: one that a newer pass replaced,
  // or that was ended, has been freed, and is recognised by its address
  // alone, without being read.
  if (target == nullptr || target != CurrentDrawingPass) return nullptr;
  if (DeviceContext dc = target->ops.StartPass(target)) return dc;
  if (target->ReleaseTarget != nullptr) target->ReleaseTarget(target, 0);
  CurrentDrawingPass = nullptr;
  HeapRelease(target);
  return nullptr;
}

void SetDrawingMode(uint32_t mode) {
  if (CurrentDrawingPass != nullptr) CurrentDrawingPass->ops.ApplyMode(CurrentDrawingPass, mode);
}

void SetFrontColor(uint32_t colour) {
  if (CurrentDrawingPass != nullptr) CurrentDrawingPass->frontColour = colour;
}

void DrawCircle(int32_t x, int32_t y, int32_t radius) {
  DrawingPass* pass = CurrentDrawingPass;
  if (pass == nullptr) return;
  // A second circle in the same colour makes no new pen.
  if (pass->frontColour != pass->lastAppliedColour) {
    pass->lastAppliedColour = pass->frontColour;
    pass->ops.ApplyColour(pass, pass->frontColour);
  }
  if (pass->ops.CircleOp != nullptr) {
    pass->ops.CircleOp(pass, x, y, radius);
  } else {
    pass->ops.EllipseOp(pass, x, y, radius, radius);
  }
}

void EndDrawing() {
  DrawingPass* pass = CurrentDrawingPass;
  if (pass == nullptr) return;
  pass->ops.StopPass(pass);
  if (pass->ReleaseTarget != nullptr) pass->ReleaseTarget(pass, 1);
  CurrentDrawingPass = nullptr;
  HeapRelease(pass);
}

void EnsureDC(DrawingPass* pass) {
  if (pass->outputKind != OutputKindImage || pass->dcState != -1) return;
  pass->dcState = 1;
  pass->dc = pass->AcquireDC(pass);
  SetTextColor(pass->dc, pass->lastAppliedColour);
  SetTextAlign(pass->dc, TextAlignUpdateCp);
  if (pass->mode != 0) {
    pass->ops.ApplyMode(pass, pass->mode);
  } else {
    SelectObject(pass->dc, pass->currentBrush);
  }
  SelectObject(pass->dc, pass->currentPen);
  SelectObject(pass->dc, pass->currentFont);
}

}  // namespace vivuvev
