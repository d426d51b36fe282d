// Test helper, preloaded (LD_PRELOAD): the process's first memfd_create and
// its first shmget fail with ENOMEM, as they would in a passing shortage of
// memory or of segments; every later call is the C library's own.
#include <dlfcn.h>
#include <sys/types.h>

#include <cerrno>
#include <cstddef>

namespace {

// The C library's function of that name.
template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int memfd_create(const char* name, unsigned flags) {
  static int calls = 0;
  static const auto real = Real<int (*)(const char*, unsigned)>("memfd_create");
  if (calls++ == 0) {
    errno = ENOMEM;
    return -1;
  }
  return real(name, flags);
}

extern "C" int shmget(key_t key, size_t size, int flags) {
  static int calls = 0;
  static const auto real = Real<int (*)(key_t, size_t, int)>("shmget");
  if (calls++ == 0) {
    errno = ENOMEM;
    return -1;
  }
  return real(key, size, flags);
}
