#include "tests/unit/fake_gdi.h"

#include <cstdio>
#include <map>
#include <memory>

#include "canvas/gdi.h"

namespace vivuvev {

namespace {

struct FakeObject {
  std::string name;
  bool stock;
};

std::vector<std::string> calls;
std::map<GdiObject, std::unique_ptr<FakeObject>> objects;
std::map<std::string, int> counters;
int live = 0;
int failures = 0;
GdiObject selectedBrush = nullptr;
GdiObject selectedPen = nullptr;
GdiObject selectedFont = nullptr;
char dcTag;

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", v);
  return text;
}

std::string NameOf(GdiObject object) {
  auto found = objects.find(object);
  return found == objects.end() ? (object ? "unknown" : "null") : found->second->name;
}

std::string DcName(DeviceContext dc) { return dc == FakeDC() ? "dc" : dc ? "otherdc" : "nulldc"; }

GdiObject Make(const std::string& kind, bool stock = false) {
  const std::string name = kind + std::to_string(++counters[kind]);
  auto object = std::make_unique<FakeObject>(FakeObject{name, stock});
  GdiObject handle = object.get();
  objects[handle] = std::move(object);
  if (!stock) ++live;
  return handle;
}

GdiObject Log(const std::string& call, GdiObject result) {
  calls.push_back(call + "=" + NameOf(result));
  return result;
}

template <typename T>
T Log(const std::string& call, T result) {
  calls.push_back(call);
  return result;
}

GdiObject Stock(int32_t which) {
  const std::string name = "stock" + std::to_string(which);
  for (auto& [handle, object] : objects) {
    if (object->name == name) return handle;
  }
  GdiObject handle = Make("stock", true);
  objects[handle]->name = name;
  return handle;
}

bool Fails() { return failures > 0 && failures-- > 0; }

}  // namespace

const std::vector<std::string>& FakeGdiCalls() { return calls; }
int FakeGdiLiveObjects() { return live; }
void FailNextFakeGdiCreations(int n) { failures = n; }
DeviceContext FakeDC() { return &dcTag; }

void ResetFakeGdi() {
  calls.clear();
  objects.clear();
  counters.clear();
  live = 0;
  failures = 0;
  selectedBrush = Make("dcbrush", true);
  selectedPen = Make("dcpen", true);
  selectedFont = Make("dcfont", true);
  calls.clear();
}

GdiObject CreatePen(int32_t style, int32_t width, uint32_t colour) {
  const std::string call =
      "CreatePen(" + std::to_string(style) + "," + std::to_string(width) + "," + Hex(colour) + ")";
  return Log(call, Fails() ? nullptr : Make("pen"));
}

GdiObject CreateSolidBrush(uint32_t colour) {
  return Log("CreateSolidBrush(" + Hex(colour) + ")", Fails() ? nullptr : Make("brush"));
}

GdiObject GetStockObject(int32_t which) {
  return Log("GetStockObject(" + std::to_string(which) + ")", Stock(which));
}

GdiObject SelectObject(DeviceContext dc, GdiObject object) {
  const std::string call = "SelectObject(" + DcName(dc) + "," + NameOf(object) + ")";
  auto found = objects.find(object);
  if (dc != FakeDC() || found == objects.end()) return Log(call, GdiObject{nullptr});
  const std::string& name = found->second->name;
  auto starts = [&name](const char* prefix) { return name.rfind(prefix, 0) == 0; };
  GdiObject* slot = starts("pen") || starts("dcpen")                         ? &selectedPen
                    : starts("font") || starts("dcfont") || name == "stock13" ? &selectedFont
                                                                              : &selectedBrush;
  GdiObject previous = *slot;
  *slot = object;
  return Log(call, previous);
}

int32_t DeleteObject(GdiObject object) {
  const std::string call = "DeleteObject(" + NameOf(object) + ")";
  auto found = objects.find(object);
  if (found == objects.end()) return Log(call, 0);
  // Deleting a selected object is the fault this fake exists to catch.
  if (object == selectedBrush || object == selectedPen) return Log(call + " while selected", 0);
  if (!found->second->stock) --live;
  objects.erase(found);
  return Log(call, 1);
}

uint32_t GetObjectType(GdiObject object) {
  return Log("GetObjectType(" + NameOf(object) + ")", ObjectBitmap);
}
int32_t DestroyIcon(GdiObject icon) { return Log("DestroyIcon(" + NameOf(icon) + ")", 1); }
GdiObject CreateRotatedFont(GdiObject font, int32_t angle) {
  return Log("CreateRotatedFont(" + NameOf(font) + "," + std::to_string(angle) + ")", Make("font"));
}

int32_t SetROP2(DeviceContext dc, int32_t mode) {
  return Log("SetROP2(" + DcName(dc) + "," + std::to_string(mode) + ")", 13);
}
int32_t SetBkMode(DeviceContext dc, int32_t mode) {
  return Log("SetBkMode(" + DcName(dc) + "," + std::to_string(mode) + ")", 2);
}
uint32_t SetBkColor(DeviceContext dc, uint32_t colour) {
  return Log("SetBkColor(" + DcName(dc) + "," + Hex(colour) + ")", 0u);
}
uint32_t SetTextColor(DeviceContext dc, uint32_t colour) {
  return Log("SetTextColor(" + DcName(dc) + "," + Hex(colour) + ")", 0u);
}
uint32_t SetTextAlign(DeviceContext dc, uint32_t align) {
  return Log("SetTextAlign(" + DcName(dc) + "," + std::to_string(align) + ")", 0u);
}

namespace {
std::string Box(const char* name, DeviceContext dc, int32_t a, int32_t b, int32_t c, int32_t d) {
  return std::string(name) + "(" + DcName(dc) + "," + std::to_string(a) + "," + std::to_string(b) +
         "," + std::to_string(c) + "," + std::to_string(d) + ")";
}
}  // namespace

int32_t FillRect(DeviceContext dc, int32_t l, int32_t t, int32_t r, int32_t b, GdiObject brush) {
  return Log(Box("FillRect", dc, l, t, r, b) + "," + NameOf(brush), 1);
}
int32_t Ellipse(DeviceContext dc, int32_t l, int32_t t, int32_t r, int32_t b) {
  return Log(Box("Ellipse", dc, l, t, r, b), 1);
}
int32_t Rectangle(DeviceContext dc, int32_t l, int32_t t, int32_t r, int32_t b) {
  return Log(Box("Rectangle", dc, l, t, r, b), 1);
}
int32_t RoundRect(DeviceContext dc, int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) {
  return Log(Box("RoundRect", dc, l, t, r, b) + "," + std::to_string(w) + "," + std::to_string(h), 1);
}
int32_t MoveToEx(DeviceContext dc, int32_t x, int32_t y) {
  return Log("MoveToEx(" + DcName(dc) + "," + std::to_string(x) + "," + std::to_string(y) + ")", 1);
}
int32_t LineTo(DeviceContext dc, int32_t x, int32_t y) {
  return Log("LineTo(" + DcName(dc) + "," + std::to_string(x) + "," + std::to_string(y) + ")", 1);
}
int32_t SetPixelV(DeviceContext dc, int32_t x, int32_t y, uint32_t colour) {
  return Log("SetPixelV(" + DcName(dc) + "," + std::to_string(x) + "," + std::to_string(y) + "," +
                 Hex(colour) + ")",
             1);
}
uint32_t GetPixel(DeviceContext dc, int32_t x, int32_t y) {
  return Log("GetPixel(" + DcName(dc) + "," + std::to_string(x) + "," + std::to_string(y) + ")",
             0x123456u);
}
int32_t ExtFloodFill(DeviceContext dc, int32_t x, int32_t y, uint32_t colour, uint32_t type) {
  return Log("ExtFloodFill(" + DcName(dc) + "," + std::to_string(x) + "," + std::to_string(y) + "," +
                 Hex(colour) + "," + std::to_string(type) + ")",
             1);
}
int32_t TextOutA(DeviceContext dc, int32_t x, int32_t y, const char* text, int32_t length) {
  return Log("TextOutA(" + DcName(dc) + "," + std::to_string(x) + "," + std::to_string(y) + "," +
                 std::string(text, static_cast<size_t>(length)) + ")",
             1);
}
int32_t GetTextExtentPoint32A(DeviceContext dc, const char* text, int32_t length, TextSize* size) {
  size->cx = 8 * length;
  size->cy = 16;
  return Log("GetTextExtentPoint32A(" + DcName(dc) + "," + std::string(text, static_cast<size_t>(length)) + ")", 1);
}
DeviceContext CreateCompatibleDC(DeviceContext dc) {
  return Log("CreateCompatibleDC(" + DcName(dc) + ")", DeviceContext{nullptr});
}
int32_t DeleteDC(DeviceContext dc) { return Log("DeleteDC(" + DcName(dc) + ")", 1); }
GdiObject CreateCompatibleBitmap(DeviceContext dc, int32_t w, int32_t h) {
  return Log("CreateCompatibleBitmap(" + DcName(dc) + "," + std::to_string(w) + "," + std::to_string(h) + ")",
             Make("bitmap"));
}
int32_t BitBlt(DeviceContext, int32_t, int32_t, int32_t, int32_t, DeviceContext, int32_t, int32_t,
               uint32_t rop) {
  return Log("BitBlt(" + Hex(rop) + ")", 1);
}
int32_t StretchBlt(DeviceContext, int32_t, int32_t, int32_t, int32_t, DeviceContext, int32_t, int32_t,
                   int32_t, int32_t, uint32_t rop) {
  return Log("StretchBlt(" + Hex(rop) + ")", 1);
}
int32_t AlphaBlend(DeviceContext, int32_t, int32_t, int32_t, int32_t, DeviceContext, int32_t, int32_t,
                   int32_t, int32_t, BlendFunction blend) {
  return Log("AlphaBlend(" + std::to_string(blend.sourceConstantAlpha) + ")", 1);
}
void UnloadAlphaBlendLibrary() { calls.push_back("UnloadAlphaBlendLibrary"); }

}  // namespace vivuvev
