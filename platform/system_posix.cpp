// OS services on POSIX: CLOCK_MONOTONIC for the tick count, the kernel's
// thread id, nanosleep, exit(). The private heap is a list of calloc'd blocks
// so that destroying it frees whatever is still allocated, as destroying a
// Windows private heap does.
#include "platform/system.h"

#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace vivuvev {

namespace {

struct HeapBlock {
  HeapBlock* previous;
  HeapBlock* next;
};

bool heapExists = false;
HeapBlock heapBlocks = {&heapBlocks, &heapBlocks};

}  // namespace

uint32_t TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

uint32_t CurrentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

void SleepMilliseconds(uint32_t ms) {
  timespec pause{static_cast<time_t>(ms / 1000u), static_cast<long>(ms % 1000u) * 1000000L};
  while (nanosleep(&pause, &pause) != 0) {
  }
}

void ExitProcess(uint32_t code) { std::exit(static_cast<int>(code)); }

// POSIX windows need no component services.
void StartSystemComponents() {}

bool CreateProgramHeap() {
  heapExists = true;
  return true;
}

void* HeapAllocZeroed(size_t bytes) {
  if (!heapExists) return nullptr;
  auto* block = static_cast<HeapBlock*>(std::calloc(1, sizeof(HeapBlock) + bytes));
  if (block == nullptr) return nullptr;
  block->previous = heapBlocks.previous;
  block->next = &heapBlocks;
  heapBlocks.previous->next = block;
  heapBlocks.previous = block;
  return block + 1;
}

void* HeapGrowZeroed(void* memory, size_t bytes, size_t newBytes) {
  void* grown = HeapAllocZeroed(newBytes);
  if (grown == nullptr) return nullptr;
  if (memory != nullptr) {
    std::memcpy(grown, memory, bytes < newBytes ? bytes : newBytes);
    HeapRelease(memory);
  }
  return grown;
}

void HeapRelease(void* memory) {
  if (memory == nullptr) return;
  HeapBlock* block = static_cast<HeapBlock*>(memory) - 1;
  block->previous->next = block->next;
  block->next->previous = block->previous;
  std::free(block);
}

void DestroyProgramHeap() {
  while (heapBlocks.next != &heapBlocks) HeapRelease(heapBlocks.next + 1);
  heapExists = false;
}

}  // namespace vivuvev
