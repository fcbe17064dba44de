// AVX-512 (AVX512F): eight doubles per 512-bit register, 32 registers.
// Included by simd/vec.h: no include guard.
#include <immintrin.h>

namespace SIMD_NAMESPACE {

using Vec = __m512d;
constexpr int kLanes = 8;
constexpr bool kStreamingStores = true;
inline Vec load(const double *p) { return _mm512_loadu_pd(p); }
inline Vec splat(double x) { return _mm512_set1_pd(x); }
inline void store(double *p, Vec a) { _mm512_storeu_pd(p, a); }
inline void stream(double *p, Vec a) { _mm512_stream_pd(p, a); }
inline void streamFence() { _mm_sfence(); }
inline Vec add(Vec a, Vec b) { return _mm512_add_pd(a, b); }
inline Vec mul(Vec a, Vec b) { return _mm512_mul_pd(a, b); }
inline Vec sub(Vec a, Vec b) { return _mm512_sub_pd(a, b); }
inline Vec div(Vec a, Vec b) { return _mm512_div_pd(a, b); }
// AVX-512F has no floating-point and-not: the sign is cleared as integers.
inline Vec absOf(Vec a) {
  return _mm512_castsi512_pd(
      _mm512_and_epi64(_mm512_castpd_si512(a), _mm512_set1_epi64(0x7fffffffffffffff)));
}
// vmaxpd(a, b) and vminpd(a, b) return b unless a > b (a < b) holds. All
// lanes selected: the unmasked forms trip a false uninitialised-value warning
// in GCC 12's headers. Same instruction, same rule.
inline Vec maxOf(Vec x, Vec p) { return _mm512_mask_max_pd(p, 0xff, x, p); }
inline Vec minOf(Vec x, Vec p) { return _mm512_mask_min_pd(p, 0xff, x, p); }

constexpr int kSweepGroup = 8;
constexpr int kPanelVecs = 2, kTileCols = 6;

}  // namespace SIMD_NAMESPACE
