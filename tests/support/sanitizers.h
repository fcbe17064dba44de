// Defines EXACTMEX_ASAN when the build runs under AddressSanitizer, with gcc
// or clang alike.
#ifndef EXACTMEX_TESTS_SANITIZERS_H
#define EXACTMEX_TESTS_SANITIZERS_H

#if defined(__SANITIZE_ADDRESS__)
#define EXACTMEX_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define EXACTMEX_ASAN 1
#endif
#endif

#endif
