#pragma once

// VELTRANE_SANITIZED_ALLOCATOR: this build runs under AddressSanitizer or ThreadSanitizer,
// whose allocator owns malloc and friends (and keeps freed memory in quarantine).
// VELTRANE_ADDRESS_SANITIZER: AddressSanitizer in particular.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELTRANE_ADDRESS_SANITIZER 1
#endif
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VELTRANE_SANITIZED_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VELTRANE_ADDRESS_SANITIZER 1
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VELTRANE_SANITIZED_ALLOCATOR 1
#endif

#ifdef VELTRANE_SANITIZED_ALLOCATOR
#include <cstddef>

// The sanitizers' allocator interface (not every compiler ships its header).
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*allocated)(const volatile void*, std::size_t),
                                              void (*freed)(const volatile void*));
std::size_t __sanitizer_get_current_allocated_bytes();
}
#endif
