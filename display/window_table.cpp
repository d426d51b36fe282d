#include "display/window_table.h"

#include "base/system.h"
#include "display/window.h"
#include "display/window_events.h"

namespace vivuvev {

namespace {
WindowRecord* slots = nullptr;
int32_t slotCount = 0;
uintptr_t nextPlainHandle = 0x1000;
}  // namespace

void CreateWindowTable() {
  FreeWindowTable();
  slots = static_cast<WindowRecord*>(
      HeapAllocZeroed(sizeof(WindowRecord) * static_cast<size_t>(WindowTableInitialSlots)));
  slotCount = slots ? WindowTableInitialSlots : 0;
}

void FreeWindowTable() {
  HeapRelease(slots);
  slots = nullptr;
  slotCount = 0;
}

int32_t WindowTableSize() { return slotCount; }

WindowRecord* WindowSlot(int32_t number) {
  if (number < 0) return nullptr;
  if (number >= slotCount) {
    // The top numbers would take the slot count past the 32-bit range.
    if (number > INT32_MAX - WindowTableGrowth) return nullptr;
    const int32_t grown = number + WindowTableGrowth;
    auto* bigger = static_cast<WindowRecord*>(
        HeapGrowZeroed(slots, sizeof(WindowRecord) * static_cast<size_t>(slotCount),
                       sizeof(WindowRecord) * static_cast<size_t>(grown)));
    if (bigger == nullptr) return nullptr;
    slots = bigger;
    slotCount = grown;
  }
  return &slots[number];
}

WindowRecord* FindWindowRecord(int32_t number) {
  if (number < 0 || number >= slotCount || slots[number].handle == nullptr) return nullptr;
  return &slots[number];
}

int32_t WindowNumberOf(WindowHandle handle) {
  if (handle == nullptr) return -1;
  for (int32_t n = 0; n < slotCount; ++n) {
    if (slots[n].handle == handle) return n;
  }
  return -1;
}

int32_t FreeWindowNumber() {
  int32_t n = 0;
  while (n < slotCount && slots[n].handle != nullptr) ++n;
  return n;
}

void StartWindowTables() {
  CreateWindowTable();
  ClearWindowEvents();
}

void EndWindowTables() {
  for (int32_t n = 0; n < slotCount; ++n) CloseDisplayWindow(n);
  FreeWindowTable();
  ClearWindowEvents();
}

WindowRecord* ClaimWindowSlot(int32_t* number) {
  if (*number == -1) *number = FreeWindowNumber();
  WindowRecord* record = WindowSlot(*number);
  if (record == nullptr) return nullptr;
  if (record->handle != nullptr) CloseDisplayWindow(*number);
  *record = WindowRecord{};
  return record;
}

WindowRecord* ClaimPlainWindow(int32_t* number, uint32_t flags) {
  WindowRecord* record = ClaimWindowSlot(number);
  if (record == nullptr) return nullptr;
  record->handle = reinterpret_cast<WindowHandle>(nextPlainHandle);
  nextPlainHandle += 0x10;
  record->minimisedOrMaximised = (flags & (WindowMinimised | WindowMaximised)) ? 1 : 0;
  return record;
}

WindowHandle OpenedWindowHandle(bool assigned, int32_t number, const WindowRecord& record) {
  if (assigned) return reinterpret_cast<WindowHandle>(static_cast<intptr_t>(number));
  return record.handle;
}

}  // namespace vivuvev
