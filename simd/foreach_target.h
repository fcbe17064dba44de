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
//
// A module with variants (broadcast/lanefuse_* shows each part):
//   *_kernels.h    the kernels, then SIMD_VARIANTS(the same declarations)
//   *_variants.h   the bodies, in namespace SIMD_NAMESPACE, written in the
//                  operations of simd/vec.h
//   *_kernels.cpp  #define SIMD_BODY "folder/*_variants.h", include this file,
//                  then each kernel calls SIMD_DISPATCH(name)(arguments)
//   modules.txt    simd/targets.cpp among the module's sources
// Tests call SIMD_VARIANT(name, target) for every target up to
// simd::bestSupported().
#include "simd/targets.h"

#if SIMD_X86
#include <immintrin.h>
#endif

// Code generation for instruction set isa ("avx2", ...) from here to
// SIMD_END_TARGET(), for GCC and Clang; MSVC compiles any intrinsic anywhere.
#define SIMD_PRAGMA(x) _Pragma(#x)
#if defined(__clang__)
#define SIMD_BEGIN_TARGET(isa) \
  SIMD_PRAGMA(clang attribute push(__attribute__((target(isa))), apply_to = function))
#define SIMD_END_TARGET() SIMD_PRAGMA(clang attribute pop)
#elif defined(__GNUC__)
#define SIMD_BEGIN_TARGET(isa) SIMD_PRAGMA(GCC push_options) SIMD_PRAGMA(GCC target(isa))
#define SIMD_END_TARGET() SIMD_PRAGMA(GCC pop_options)
#else
#define SIMD_BEGIN_TARGET(isa)
#define SIMD_END_TARGET()
#endif

#define SIMD_TARGET_ID 0
#include SIMD_BODY
#undef SIMD_TARGET_ID

#if SIMD_X86
#define SIMD_TARGET_ID 1  // SSE2 is part of the x86-64 baseline
#include SIMD_BODY
#undef SIMD_TARGET_ID
#endif

#if SIMD_WIDE
SIMD_BEGIN_TARGET("avx2")
#define SIMD_TARGET_ID 2
#include SIMD_BODY
#undef SIMD_TARGET_ID
SIMD_END_TARGET()

SIMD_BEGIN_TARGET("avx512f")
#define SIMD_TARGET_ID 3
#include SIMD_BODY
#undef SIMD_TARGET_ID
SIMD_END_TARGET()
#endif
