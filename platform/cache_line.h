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
