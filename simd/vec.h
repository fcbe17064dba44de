// The vector operations kernel variants are written in, for the target being
// built (SIMD_TARGET_ID, set by simd/foreach_target.h, which includes this
// once per target: no include guard). Everything here lives in that target's
// namespace (SIMD_NAMESPACE), so code built with different instruction sets
// is never merged by the linker.
//
// Each operation is one IEEE operation per lane, the same as its scalar form:
// lanes hold independent elements, never terms of one sum. The scalar forms
// serve the portable target (where Vec is double) and the edges of columns.
#include <cmath>
#include <cstddef>
#include <cstdint>

#undef SIMD_NAMESPACE
#if SIMD_TARGET_ID == 0
#define SIMD_NAMESPACE simd_scalar
#elif SIMD_TARGET_ID == 1
#define SIMD_NAMESPACE simd_sse2
#elif SIMD_TARGET_ID == 2
#define SIMD_NAMESPACE simd_avx2
#elif SIMD_TARGET_ID == 3
#define SIMD_NAMESPACE simd_avx512
#else
#error "SIMD_TARGET_ID must be 0 (scalar), 1 (sse2), 2 (avx2) or 3 (avx512)"
#endif

namespace SIMD_NAMESPACE {

inline double add(double a, double b) { return a + b; }
inline double mul(double a, double b) { return a * b; }
inline double sub(double a, double b) { return a - b; }
inline double div(double a, double b) { return a / b; }
// a with its sign bit cleared, as fabs: NaN stays NaN, -0 becomes +0.
inline double absOf(double a) { return std::fabs(a); }
// x when x > p, otherwise p: on a tie or a NaN in either operand, p.
inline double maxOf(double x, double p) { return x > p ? x : p; }
// x when x < p, otherwise p.
inline double minOf(double x, double p) { return x < p ? x : p; }

#if SIMD_TARGET_ID == 0
using Vec = double;
constexpr int kLanes = 1;
inline Vec load(const double *p) { return *p; }
inline Vec splat(double x) { return x; }
inline void store(double *p, Vec a) { *p = a; }
inline void stream(double *p, Vec a) { *p = a; }
inline void streamFence() {}
#elif SIMD_TARGET_ID == 1
using Vec = __m128d;
constexpr int kLanes = 2;
inline Vec load(const double *p) { return _mm_loadu_pd(p); }
inline Vec splat(double x) { return _mm_set1_pd(x); }
inline void store(double *p, Vec a) { _mm_storeu_pd(p, a); }
inline void stream(double *p, Vec a) { _mm_stream_pd(p, a); }
inline Vec add(Vec a, Vec b) { return _mm_add_pd(a, b); }
inline Vec mul(Vec a, Vec b) { return _mm_mul_pd(a, b); }
inline Vec sub(Vec a, Vec b) { return _mm_sub_pd(a, b); }
inline Vec div(Vec a, Vec b) { return _mm_div_pd(a, b); }
inline Vec absOf(Vec a) { return _mm_andnot_pd(_mm_set1_pd(-0.0), a); }
// maxpd(a, b) and minpd(a, b) return b unless a > b (a < b) holds.
inline Vec maxOf(Vec x, Vec p) { return _mm_max_pd(x, p); }
inline Vec minOf(Vec x, Vec p) { return _mm_min_pd(x, p); }
inline void streamFence() { _mm_sfence(); }
#elif SIMD_TARGET_ID == 2
using Vec = __m256d;
constexpr int kLanes = 4;
inline Vec load(const double *p) { return _mm256_loadu_pd(p); }
inline Vec splat(double x) { return _mm256_set1_pd(x); }
inline void store(double *p, Vec a) { _mm256_storeu_pd(p, a); }
inline void stream(double *p, Vec a) { _mm256_stream_pd(p, a); }
inline Vec add(Vec a, Vec b) { return _mm256_add_pd(a, b); }
inline Vec mul(Vec a, Vec b) { return _mm256_mul_pd(a, b); }
inline Vec sub(Vec a, Vec b) { return _mm256_sub_pd(a, b); }
inline Vec div(Vec a, Vec b) { return _mm256_div_pd(a, b); }
inline Vec absOf(Vec a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }
inline Vec maxOf(Vec x, Vec p) { return _mm256_max_pd(x, p); }
inline Vec minOf(Vec x, Vec p) { return _mm256_min_pd(x, p); }
inline void streamFence() { _mm_sfence(); }
#else
using Vec = __m512d;
constexpr int kLanes = 8;
inline Vec load(const double *p) { return _mm512_loadu_pd(p); }
inline Vec splat(double x) { return _mm512_set1_pd(x); }
inline void store(double *p, Vec a) { _mm512_storeu_pd(p, a); }
inline void stream(double *p, Vec a) { _mm512_stream_pd(p, a); }
inline Vec add(Vec a, Vec b) { return _mm512_add_pd(a, b); }
inline Vec mul(Vec a, Vec b) { return _mm512_mul_pd(a, b); }
inline Vec sub(Vec a, Vec b) { return _mm512_sub_pd(a, b); }
inline Vec div(Vec a, Vec b) { return _mm512_div_pd(a, b); }
// AVX-512F has no floating-point and-not: the sign is cleared as integers.
inline Vec absOf(Vec a) {
  return _mm512_castsi512_pd(
      _mm512_and_epi64(_mm512_castpd_si512(a), _mm512_set1_epi64(0x7fffffffffffffff)));
}
// All lanes selected: the unmasked forms trip a false uninitialised-value
// warning in GCC 12's headers. Same instruction, same rule.
inline Vec maxOf(Vec x, Vec p) { return _mm512_mask_max_pd(p, 0xff, x, p); }
inline Vec minOf(Vec x, Vec p) { return _mm512_mask_min_pd(p, 0xff, x, p); }
inline void streamFence() { _mm_sfence(); }
#endif

// Streaming stores go to memory a whole cache line at a time, once the line
// is complete: code that streams writes each line whole, from its start,
// before moving on, and streams kLineDoubles elements per step.
constexpr size_t kLineBytes = 64;
constexpr int kLineDoubles = kLineBytes / sizeof(double);

// Elements from p up to the next cache line (0 when p is at one). p must be
// aligned to its double.
inline int32_t elementsToLine(const double *p) {
  const size_t misaligned = reinterpret_cast<uintptr_t>(p) % kLineBytes;
  return misaligned == 0 ? 0 : static_cast<int32_t>((kLineBytes - misaligned) / sizeof(double));
}

// Streaming stores skip the caches: worth it only for outputs too large to
// stay there for whoever reads them next.
constexpr double kStreamBytes = 8.0 * 1024 * 1024;

// Whether an output of count doubles at p is written with streaming stores.
inline bool streams(const double *p, double count) {
  return kLanes > 1 && count * sizeof(double) >= kStreamBytes &&
         reinterpret_cast<uintptr_t>(p) % sizeof(double) == 0;
}

}  // namespace SIMD_NAMESPACE
