// SSE2: two doubles per 128-bit register, 16 registers; part of the x86-64
// baseline. Included by simd/vec.h: no include guard. Built first of the x86
// targets, outside any instruction set's region, it declares the intrinsics
// of them all, so that they are never declared inside a wider target's.
#include <immintrin.h>

namespace SIMD_NAMESPACE {

using Vec = __m128d;
constexpr int kLanes = 2;
constexpr bool kStreamingStores = true;
inline Vec load(const double *p) { return _mm_loadu_pd(p); }
inline Vec splat(double x) { return _mm_set1_pd(x); }
inline void store(double *p, Vec a) { _mm_storeu_pd(p, a); }
inline void stream(double *p, Vec a) { _mm_stream_pd(p, a); }
inline void streamFence() { _mm_sfence(); }
inline Vec add(Vec a, Vec b) { return _mm_add_pd(a, b); }
inline Vec mul(Vec a, Vec b) { return _mm_mul_pd(a, b); }
inline Vec sub(Vec a, Vec b) { return _mm_sub_pd(a, b); }
inline Vec div(Vec a, Vec b) { return _mm_div_pd(a, b); }
inline Vec absOf(Vec a) { return _mm_andnot_pd(_mm_set1_pd(-0.0), a); }
// maxpd(a, b) and minpd(a, b) return b unless a > b (a < b) holds.
inline Vec maxOf(Vec x, Vec p) { return _mm_max_pd(x, p); }
inline Vec minOf(Vec x, Vec p) { return _mm_min_pd(x, p); }

constexpr int kSweepGroup = 4;
constexpr int kPanelVecs = 4, kTileCols = 2;

}  // namespace SIMD_NAMESPACE
