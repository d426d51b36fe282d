// OS services on Windows: kernel32's tick count, thread id, Sleep,
// ExitProcess and a private heap (HeapCreate, growable, no flags).
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "base/system.h"

#include <cstring>
#include <new>

#include "base/cache_line.h"

namespace vivuvev {

namespace {
HANDLE programHeap = nullptr;
}

uint32_t TickCount() { return ::GetTickCount(); }
uint32_t CurrentThreadId() { return ::GetCurrentThreadId(); }
void SleepMilliseconds(uint32_t ms) { ::Sleep(ms); }
void ExitProcess(uint32_t code) { ::ExitProcess(code); }

void StartSystemComponents() {
  ::CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
}

bool CreateProgramHeap() {
  if (programHeap == nullptr) programHeap = ::HeapCreate(0, 4096, 0);
  return programHeap != nullptr;
}

void* HeapAllocZeroed(size_t bytes) {
  return programHeap ? ::HeapAlloc(programHeap, HEAP_ZERO_MEMORY, bytes) : nullptr;
}

void* HeapGrowZeroed(void* block, size_t, size_t newBytes) {
  if (programHeap == nullptr) return nullptr;
  if (block == nullptr) return ::HeapAlloc(programHeap, HEAP_ZERO_MEMORY, newBytes);
  return ::HeapReAlloc(programHeap, HEAP_ZERO_MEMORY, block, newBytes);
}

void HeapRelease(void* block) {
  if (programHeap != nullptr && block != nullptr) ::HeapFree(programHeap, 0, block);
}

void* AllocateImageMemory(size_t bytes) {
  void* memory = ::operator new(bytes, std::align_val_t{CacheLineBytes}, std::nothrow);
  if (memory != nullptr) std::memset(memory, 0, bytes);
  return memory;
}

void ReleaseImageMemory(void* memory, size_t) {
  ::operator delete(memory, std::align_val_t{CacheLineBytes});
}

void DestroyProgramHeap() {
  if (programHeap != nullptr) ::HeapDestroy(programHeap);
  programHeap = nullptr;
}

}  // namespace vivuvev
