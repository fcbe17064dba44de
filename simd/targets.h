// Instruction-set targets a kernel is built for, and the one this process
// runs: the best the CPU and the operating system support, or the one named by
// the environment variable EXACTMEX_TARGET (scalar, sse2, avx2, avx512) when
// the machine has it.
#ifndef EXACTMEX_SIMD_TARGETS_H
#define EXACTMEX_SIMD_TARGETS_H

// Builds for x86-64 carry SSE2, AVX2 and AVX-512 variants of each kernel;
// others only the portable one. Defining SIMD_NO_WIDE_TARGETS leaves out the
// AVX2 and AVX-512 variants, for a compiler that cannot spill their 32- and
// 64-byte registers safely (modules.txt says which).
#if defined(__x86_64__) || defined(_M_X64)
#define SIMD_X86 1
#else
#define SIMD_X86 0
#endif
#if SIMD_X86 && !defined(SIMD_NO_WIDE_TARGETS)
#define SIMD_WIDE 1
#else
#define SIMD_WIDE 0
#endif

namespace simd {

// Ordered: each x86 target runs only where the ones below it also run.
enum Target { kScalar = 0, kSse2 = 1, kAvx2 = 2, kAvx512 = 3, kTargetCount = 4 };

const char *targetName(Target t);

// The best target built into this binary that the CPU and OS can run; kScalar
// where only the portable code is built (not x86-64), at most kSse2 without
// the wide variants.
Target bestSupported();

// The target to run when `requested` (a target name, or null when nothing is
// asked for) meets a machine whose best is `best`: the requested one if it is
// no better than best, otherwise best. Unknown names select best.
Target resolve(const char *requested, Target best);

// The target every dispatched kernel of this module runs, fixed at its first
// call.
Target activeTarget();

// Picks the variant of a kernel built for target t.
template <class F>
F pick(Target t, F scalar, F sse2, F avx2, F avx512) {
  switch (t) {
    case kSse2: return sse2;
    case kAvx2: return avx2;
    case kAvx512: return avx512;
    default: return scalar;
  }
}

}  // namespace simd

// Every kernel with variants is built in one namespace per target:
// simd_scalar (portable C++), and on x86-64 simd_sse2, simd_avx2 and
// simd_avx512 (see simd/foreach_target.h). SIMD_VARIANTS declares the same
// functions in each; SIMD_VARIANT(fn, t) names target t's variant and
// SIMD_DISPATCH(fn) the variant of the active target.
#define SIMD_IN(ns, ...) \
  namespace ns {         \
  __VA_ARGS__            \
  }
#define SIMD_UP_TO_SSE2(...) SIMD_IN(simd_scalar, __VA_ARGS__) SIMD_IN(simd_sse2, __VA_ARGS__)
#if SIMD_WIDE
#define SIMD_VARIANTS(...)        \
  SIMD_UP_TO_SSE2(__VA_ARGS__)    \
  SIMD_IN(simd_avx2, __VA_ARGS__) \
  SIMD_IN(simd_avx512, __VA_ARGS__)
#define SIMD_VARIANT(fn, t) \
  simd::pick((t), simd_scalar::fn, simd_sse2::fn, simd_avx2::fn, simd_avx512::fn)
#elif SIMD_X86
#define SIMD_VARIANTS(...) SIMD_UP_TO_SSE2(__VA_ARGS__)
// No target beyond SSE2 is ever active here (bestSupported).
#define SIMD_VARIANT(fn, t) \
  simd::pick((t), simd_scalar::fn, simd_sse2::fn, simd_sse2::fn, simd_sse2::fn)
#else
#define SIMD_VARIANTS(...) SIMD_IN(simd_scalar, __VA_ARGS__)
#define SIMD_VARIANT(fn, t) ((void)(t), simd_scalar::fn)
#endif
#define SIMD_DISPATCH(fn) SIMD_VARIANT(fn, simd::activeTarget())

#endif
