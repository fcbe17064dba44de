// AVX2: four doubles per 256-bit register, 16 registers. Included by
// simd/vec.h: no include guard.
#include <immintrin.h>

namespace SIMD_NAMESPACE {

using Vec = __m256d;
constexpr int kLanes = 4;
constexpr bool kStreamingStores = true;
inline Vec load(const double *p) { return _mm256_loadu_pd(p); }
inline Vec splat(double x) { return _mm256_set1_pd(x); }
inline void store(double *p, Vec a) { _mm256_storeu_pd(p, a); }
inline void stream(double *p, Vec a) { _mm256_stream_pd(p, a); }
inline void streamFence() { _mm_sfence(); }
inline Vec add(Vec a, Vec b) { return _mm256_add_pd(a, b); }
inline Vec mul(Vec a, Vec b) { return _mm256_mul_pd(a, b); }
inline Vec sub(Vec a, Vec b) { return _mm256_sub_pd(a, b); }
inline Vec div(Vec a, Vec b) { return _mm256_div_pd(a, b); }
inline Vec absOf(Vec a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }
// vmaxpd(a, b) and vminpd(a, b) return b unless a > b (a < b) holds.
inline Vec maxOf(Vec x, Vec p) { return _mm256_max_pd(x, p); }
inline Vec minOf(Vec x, Vec p) { return _mm256_min_pd(x, p); }

constexpr int kSweepGroup = 8;
constexpr int kPanelVecs = 2, kTileCols = 4;

}  // namespace SIMD_NAMESPACE
