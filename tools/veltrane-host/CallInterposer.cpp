// The hooks CallCounter counts through. They must live in the executable: a plug-in's calls
// to malloc and pthread_mutex_lock bind to the first definition in the process, and the
// executable (linked with exported symbols) comes first.
#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cstddef>

#include "CallCounter.h"

#include "SanitizedBuild.h"

#define EXPORTED extern "C" __attribute__((visibility("default")))

#ifdef VELTRANE_SANITIZED_ALLOCATOR
// The sanitizer owns malloc and friends; it tells hooks about every allocation instead.

namespace {
void allocated(const volatile void*, std::size_t) { CallCounter::noteAllocation(); }
void freed(const volatile void*) { CallCounter::noteFree(); }
__attribute__((constructor)) void installCallCounting() {
  __sanitizer_install_malloc_and_free_hooks(allocated, freed);
  CallCounter::install("the sanitizer's allocation hooks and pthread_mutex_lock");
}
}  // namespace
#else
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}

EXPORTED void* malloc(std::size_t size) {
  CallCounter::noteAllocation();
  return __libc_malloc(size);
}
EXPORTED void* calloc(std::size_t count, std::size_t size) {
  CallCounter::noteAllocation();
  return __libc_calloc(count, size);
}
EXPORTED void* realloc(void* pointer, std::size_t size) {
  CallCounter::noteAllocation();
  return __libc_realloc(pointer, size);
}
EXPORTED void free(void* pointer) {
  if (pointer) CallCounter::noteFree();
  __libc_free(pointer);
}
EXPORTED void* memalign(std::size_t alignment, std::size_t size) {
  CallCounter::noteAllocation();
  return __libc_memalign(alignment, size);
}
EXPORTED void* aligned_alloc(std::size_t alignment, std::size_t size) {
  CallCounter::noteAllocation();
  return __libc_memalign(alignment, size);
}
EXPORTED int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  CallCounter::noteAllocation();
  void* pointer = __libc_memalign(alignment, size);
  if (!pointer) return ENOMEM;
  *result = pointer;
  return 0;
}

namespace {
__attribute__((constructor)) void installCallCounting() {
  CallCounter::install("interposed malloc family and pthread_mutex_lock");
}
}  // namespace
#endif

namespace {
using LockFunction = int (*)(pthread_mutex_t*);
std::atomic<LockFunction> nextLock{nullptr};
}  // namespace

// The next definition is the C library's, or a sanitizer's that wraps it.
EXPORTED int pthread_mutex_lock(pthread_mutex_t* mutex) {
  LockFunction lock = nextLock.load(std::memory_order_acquire);
  if (!lock) {
    lock = reinterpret_cast<LockFunction>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    nextLock.store(lock, std::memory_order_release);
  }
  CallCounter::noteMutexLock();
  return lock(mutex);
}
