// The cache line, where the software path's pixel rows start: also the
// widest vector the blit loads and stores, so that with rows a whole number
// of lines apart no vector access straddles two lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace vivuvev {

constexpr size_t CacheLineBytes = 64;

// bytes rounded up to whole cache lines.
constexpr int64_t WholeCacheLines(int64_t bytes) {
  const auto line = static_cast<int64_t>(CacheLineBytes);
  return (bytes + line - 1) / line * line;
}

// Asks the processor to bring the cache lines holding bytes .. bytes + count
// - 1 into the cache, to be used soon. Only a hint: it changes no memory and
// may be ignored. The drawing, the write-back and the blit visit short runs
// of many rows, each row in another page of memory, where the processor's
// own look-ahead does not reach; after a pause between frames (the module's
// -delay) few of those lines are still in the cache, and without the hint
// each run would wait for its lines in turn.
//
// The instruction is written out: a loop of __builtin_prefetch alone has no
// effect the compiler must keep, and g++ 12 folds it into one line or none.
inline void FetchLine(const char* line) {
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("prefetcht0 %0" : : "m"(*line));
#elif defined(__wasm__)
  // WebAssembly has no such hint. A read of the line, its value dropped,
  // starts the same fetch (the lines asked for lie in the caller's image);
  // in the page, frames 60 a second apart took about a sixth less with it.
  (void)*static_cast<const volatile char*>(line);
#else
  __builtin_prefetch(line);
#endif
}

inline void FetchLines(const void* bytes, int64_t count) {
  const auto* at = static_cast<const char*>(bytes);
  for (int64_t line = 0; line < count; line += static_cast<int64_t>(CacheLineBytes)) FetchLine(at + line);
  if (count > 0) FetchLine(at + count - 1);
}

// Memory for standard containers that starts on a cache line.
template <typename T>
struct CacheLineAllocator {
  using value_type = T;
  CacheLineAllocator() = default;
  template <typename U>
  explicit CacheLineAllocator(const CacheLineAllocator<U>&) {}
  T* allocate(size_t count) {
    return static_cast<T*>(::operator new(count * sizeof(T), std::align_val_t{CacheLineBytes}));
  }
  void deallocate(T* memory, size_t) { ::operator delete(memory, std::align_val_t{CacheLineBytes}); }
  template <typename U>
  bool operator==(const CacheLineAllocator<U>&) const { return true; }
  template <typename U>
  bool operator!=(const CacheLineAllocator<U>&) const { return false; }
};

}  // namespace vivuvev
