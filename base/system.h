// Operating-system services shared by every layer: time, thread identity,
// sleeping, the end of the process and the private heap.
//
// Every platform provides one file defining all of these (system_posix.cpp,
// system_win32.cpp). Callers rely on: TickCount counts milliseconds and wraps
// at 2^32; CurrentThreadId is stable for the thread; HeapAllocZeroed returns
// zero-filled memory or null; DestroyProgramHeap frees every block still
// allocated; ExitProcess does not return.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vivuvev {

uint32_t TickCount();
uint32_t CurrentThreadId();
void SleepMilliseconds(uint32_t ms);
[[noreturn]] void ExitProcess(uint32_t code);

// The process's private heap. Creating it again while it exists does nothing.
bool CreateProgramHeap();
void* HeapAllocZeroed(size_t bytes);
void HeapRelease(void* block);
// block (bytes long, or null) grown to newBytes, its content kept and the
// rest zero-filled; null, with block untouched, when memory cannot be had.
void* HeapGrowZeroed(void* block, size_t bytes, size_t newBytes);
void DestroyProgramHeap();

// Memory for an image's pixels: bytes long, zero-filled, starting on a cache
// line; null when it cannot be had. Large images are asked for in the
// largest pages the system gives: a blit over many rows then needs far fewer
// address translations. ReleaseImageMemory takes it back, given the same
// bytes.
void* AllocateImageMemory(size_t bytes);
void ReleaseImageMemory(void* memory, size_t bytes);

}  // namespace vivuvev

namespace vivuvev {

// The component services the platform's windows may rely on (COM and common
// controls on Windows), started once at program start.
void StartSystemComponents();

}  // namespace vivuvev
