// WindowTable: one slot per window number, growing on demand.
#pragma once

#include <cstdint>

#include "base/handles.h"

namespace vivuvev {

struct WindowRecord {
  WindowHandle handle;           // 0 marks a free slot
  void* acceleratorEntries;      // the two accelerator entries, on the heap
  void* acceleratorTable;        // created from the entries
  int32_t minimisedOrMaximised;  // 1 while minimised or maximised
  int32_t width, height;         // the size the last size message reported; 0 before one
};

constexpr int32_t WindowTableInitialSlots = 16;
constexpr int32_t WindowTableGrowth = 16;

void CreateWindowTable();
void FreeWindowTable();
int32_t WindowTableSize();

// The slot of a number, growing the table to number + 16 slots when needed;
// null for a negative number or when the table cannot grow.
WindowRecord* WindowSlot(int32_t number);
// The record of an open window, or null.
WindowRecord* FindWindowRecord(int32_t number);
// The number whose window is handle, or -1.
int32_t WindowNumberOf(WindowHandle handle);
// The lowest number without an open window (for OpenDisplayWindow(-1, ...)).
int32_t FreeWindowNumber();

// The halves of the window library that every platform shares.
// Library start: the table and an empty event queue.
void StartWindowTables();
// Library end: every open window closed in the order of its number, then the
// table and the queue freed.
void EndWindowTables();
// The record OpenDisplayWindow fills for number (-1: the lowest free number,
// written back): a window still open under it is closed first, and the
// record is zero-filled. Null when the number cannot have a slot.
WindowRecord* ClaimWindowSlot(int32_t* number);
// For platforms with no system window behind a number (headless, web): the
// record of ClaimWindowSlot with a handle of its own, never given twice in a
// process, and the minimised-or-maximised state of flags.
WindowRecord* ClaimPlainWindow(int32_t* number, uint32_t flags);
// What OpenDisplayWindow returns for the window number: the number itself
// when the library chose it (asked for with -1), else the window's handle.
WindowHandle OpenedWindowHandle(bool assigned, int32_t number, const WindowRecord& record);

}  // namespace vivuvev
