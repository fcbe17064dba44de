// The operations the x86 targets spell alike, their intrinsics differing in
// prefix alone (_mm, _mm256, _mm512): expanded by simd/vec_TARGET.h in its
// namespace, after it defines Vec.
#ifndef EXACTMEX_SIMD_VEC_X86_H
#define EXACTMEX_SIMD_VEC_X86_H

#include <immintrin.h>

#define SIMD_X86_OPERATIONS(p)                                  \
  inline Vec load(const double *q) { return p##_loadu_pd(q); }  \
  inline Vec splat(double x) { return p##_set1_pd(x); }         \
  inline void store(double *q, Vec a) { p##_storeu_pd(q, a); }  \
  inline void stream(double *q, Vec a) { p##_stream_pd(q, a); } \
  inline void streamFence() { _mm_sfence(); }                   \
  inline Vec add(Vec a, Vec b) { return p##_add_pd(a, b); }     \
  inline Vec mul(Vec a, Vec b) { return p##_mul_pd(a, b); }     \
  inline Vec sub(Vec a, Vec b) { return p##_sub_pd(a, b); }     \
  inline Vec div(Vec a, Vec b) { return p##_div_pd(a, b); }

// lessMask where a comparison gives a vector of all-ones lanes (SSE2, AVX2):
// their sign bits.
#define SIMD_X86_LESS_MASK(p, less) \
  inline uint32_t lessMask(Vec a, Vec b) { return uint32_t(p##_movemask_pd(less)); }

// absOf, maxOf and minOf where the instruction set has a floating-point
// and-not (SSE2, AVX2). (v)maxpd(a, b) and (v)minpd(a, b) return b unless
// a > b (a < b) holds: the paired element on a tie or a NaN.
#define SIMD_X86_SELECTIONS(p)                                            \
  inline Vec absOf(Vec a) { return p##_andnot_pd(p##_set1_pd(-0.0), a); } \
  inline Vec maxOf(Vec x, Vec pair) { return p##_max_pd(x, pair); }       \
  inline Vec minOf(Vec x, Vec pair) { return p##_min_pd(x, pair); }

#endif
