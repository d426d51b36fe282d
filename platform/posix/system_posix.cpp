// OS services on POSIX: CLOCK_MONOTONIC for the tick count, the kernel's
// thread id, nanosleep, exit(). The private heap is a list of calloc'd blocks
// so that destroying it frees whatever is still allocated, as destroying a
// Windows private heap does. Like any heap it keeps a few released small
// blocks for reuse, so that a record made and freed every frame (a drawing
// pass) costs no allocation. Under AddressSanitizer a kept block is marked
// unaddressable until it is handed out again, so that a use of a released
// record is caught although its memory was never given back.
#include "base/system.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

#include "base/cache_line.h"

namespace vivuvev {

namespace {

// Each block starts with this header; the alignment keeps what follows it
// aligned as calloc's memory is.
struct alignas(16) HeapBlock {
  HeapBlock* previous;
  HeapBlock* next;
  size_t bytes;
};

constexpr size_t SmallBlockBytes = 1024;
constexpr int SpareBlocksKept = 8;

bool heapExists = false;
HeapBlock heapBlocks = {&heapBlocks, &heapBlocks, 0};   // allocated
HeapBlock spareBlocks = {&spareBlocks, &spareBlocks, 0};  // released, kept for reuse
int spareCount = 0;

void Link(HeapBlock* list, HeapBlock* block) {
  block->previous = list->previous;
  block->next = list;
  list->previous->next = block;
  list->previous = block;
}

void Unlink(HeapBlock* block) {
  block->previous->next = block->next;
  block->next->previous = block->previous;
}

HeapBlock* TakeSpare(size_t bytes) {
  for (HeapBlock* block = spareBlocks.next; block != &spareBlocks; block = block->next) {
    if (block->bytes != bytes) continue;
    Unlink(block);
    --spareCount;
    ASAN_UNPOISON_MEMORY_REGION(block + 1, bytes);
    std::memset(block + 1, 0, bytes);
    return block;
  }
  return nullptr;
}

}  // namespace

uint32_t TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

uint32_t CurrentThreadId() { return static_cast<uint32_t>(gettid()); }

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
  HeapBlock* block = TakeSpare(bytes);
  if (block == nullptr) {
    if (bytes > SIZE_MAX - sizeof(HeapBlock)) return nullptr;
    block = static_cast<HeapBlock*>(std::calloc(1, sizeof(HeapBlock) + bytes));
    if (block == nullptr) return nullptr;
    block->bytes = bytes;
  }
  Link(&heapBlocks, block);
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
  Unlink(block);
  if (heapExists && block->bytes <= SmallBlockBytes && spareCount < SpareBlocksKept) {
    Link(&spareBlocks, block);
    ++spareCount;
    ASAN_POISON_MEMORY_REGION(block + 1, block->bytes);
    return;
  }
  std::free(block);
}

namespace {

// Transparent huge pages, where the kernel offers them for memory that asks:
// the memory starts and ends on their boundaries so that all of it can be.
constexpr size_t HugePageBytes = size_t{2} << 20;

size_t ImageAlignment(size_t bytes) { return bytes >= HugePageBytes ? HugePageBytes : CacheLineBytes; }

}  // namespace

void* AllocateImageMemory(size_t bytes) {
  const size_t alignment = ImageAlignment(bytes);
  if (bytes > SIZE_MAX - alignment) return nullptr;
  const size_t whole = (bytes + alignment - 1) / alignment * alignment;
  void* memory = ::operator new(whole, std::align_val_t{alignment}, std::nothrow);
  if (memory == nullptr) return nullptr;
  if (alignment == HugePageBytes) madvise(memory, whole, MADV_HUGEPAGE);  // a hint: failure is harmless
  std::memset(memory, 0, bytes);
  return memory;
}

void ReleaseImageMemory(void* memory, size_t bytes) {
  ::operator delete(memory, std::align_val_t{ImageAlignment(bytes)});
}

void DestroyProgramHeap() {
  heapExists = false;
  for (HeapBlock* list : {&heapBlocks, &spareBlocks}) {
    while (list->next != list) {
      HeapBlock* block = list->next;
      Unlink(block);
      ASAN_UNPOISON_MEMORY_REGION(block + 1, block->bytes);
      std::free(block);
    }
  }
  spareCount = 0;
}

}  // namespace vivuvev
