// AVX2: four doubles per 256-bit register, 16 registers. Included by
// simd/vec.h: no include guard.
#include "simd/vec_x86.h"

namespace SIMD_NAMESPACE {

using Vec = __m256d;
constexpr int kLanes = 4;
constexpr bool kStreamingStores = true;
SIMD_X86_OPERATIONS(_mm256)
inline Vec absOf(Vec a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }
// vmaxpd(a, b) and vminpd(a, b) return b unless a > b (a < b) holds.
inline Vec maxOf(Vec x, Vec p) { return _mm256_max_pd(x, p); }
inline Vec minOf(Vec x, Vec p) { return _mm256_min_pd(x, p); }

constexpr int kSweepGroup = 8;
constexpr int kPanelVecs = 2, kTileCols = 4;

}  // namespace SIMD_NAMESPACE
