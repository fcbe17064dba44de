// The operations the x86 targets spell alike, their intrinsics differing in
// prefix alone (_mm, _mm256, _mm512) and in the suffix of the element type
// (pd on doubles in Vec, ps on floats in FloatVec): expanded by
// simd/vec_TARGET.h in its namespace, after it defines both vector types.
#ifndef EXACTMEX_SIMD_VEC_X86_H
#define EXACTMEX_SIMD_VEC_X86_H

#include <immintrin.h>

#define SIMD_X86_OPERATIONS(p)                \
  SIMD_X86_ARITHMETIC(p, Vec, double, pd)     \
  SIMD_X86_ARITHMETIC(p, FloatVec, float, ps) \
  inline void streamFence() { _mm_sfence(); }

// The operations on vectors V of elements T, whose intrinsics end in s.
#define SIMD_X86_ARITHMETIC(p, V, T, s)                   \
  inline V load(const T *q) { return p##_loadu_##s(q); }  \
  inline V splat(T x) { return p##_set1_##s(x); }         \
  inline void store(T *q, V a) { p##_storeu_##s(q, a); }  \
  inline void stream(T *q, V a) { p##_stream_##s(q, a); } \
  inline V add(V a, V b) { return p##_add_##s(a, b); }    \
  inline V mul(V a, V b) { return p##_mul_##s(a, b); }    \
  inline V sub(V a, V b) { return p##_sub_##s(a, b); }    \
  inline V div(V a, V b) { return p##_div_##s(a, b); }

// lessMask where a comparison gives a vector of all-ones lanes (SSE2, AVX2):
// their sign bits. less compares a and b, vectors of elements of suffix s.
#define SIMD_X86_LESS_MASK(p, V, s, less) \
  inline uint32_t lessMask(V a, V b) { return uint32_t(p##_movemask_##s(less)); }

// absOf, maxOf and minOf where the instruction set has a floating-point
// and-not (SSE2, AVX2). (v)maxp?(a, b) and (v)minp?(a, b) return b unless
// a > b (a < b) holds: the paired element on a tie or a NaN.
#define SIMD_X86_SELECTIONS(p)             \
  SIMD_X86_SELECTIONS_OF(p, Vec, pd, -0.0) \
  SIMD_X86_SELECTIONS_OF(p, FloatVec, ps, -0.0f)
#define SIMD_X86_SELECTIONS_OF(p, V, s, negativeZero)                           \
  inline V absOf(V a) { return p##_andnot_##s(p##_set1_##s(negativeZero), a); } \
  inline V maxOf(V x, V pair) { return p##_max_##s(x, pair); }                  \
  inline V minOf(V x, V pair) { return p##_min_##s(x, pair); }

#endif
