// Builds kernel variants once per instruction-set target, in one translation
// unit. A kernel source defines SIMD_BODY as the file that holds its variants
// and includes this file, which includes that body once per target with
// SIMD_TARGET_ID set (0 scalar, 1 SSE2, 2 AVX2, 3 AVX-512; see simd/vec.h).
// The instruction sets are switched on here, in the source, around each
// body, not by compiler flags: the one compile command that builds a module
// builds all its variants, and all other code stays baseline x86-64.
//
// The body, and the headers it includes for each target, have no include
// guard.
#include "simd/targets.h"

#if SIMD_X86
#include <immintrin.h>
#endif

#define SIMD_TARGET_ID 0
#include SIMD_BODY
#undef SIMD_TARGET_ID

#if SIMD_X86
#define SIMD_TARGET_ID 1  // SSE2 is part of the x86-64 baseline
#include SIMD_BODY
#undef SIMD_TARGET_ID

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#elif defined(__GNUC__)
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#define SIMD_TARGET_ID 2
#include SIMD_BODY
#undef SIMD_TARGET_ID
#if defined(__clang__)
#pragma clang attribute pop
#elif defined(__GNUC__)
#pragma GCC pop_options
#endif

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#elif defined(__GNUC__)
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif
#define SIMD_TARGET_ID 3
#include SIMD_BODY
#undef SIMD_TARGET_ID
#if defined(__clang__)
#pragma clang attribute pop
#elif defined(__GNUC__)
#pragma GCC pop_options
#endif
#endif
