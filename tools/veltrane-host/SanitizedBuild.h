#pragma once

// VELTRANE_SANITIZED_ALLOCATOR: this build runs under AddressSanitizer or ThreadSanitizer,
// whose allocator owns malloc and friends (and keeps freed memory in quarantine).
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VELTRANE_SANITIZED_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VELTRANE_SANITIZED_ALLOCATOR 1
#endif
