// AVX-512 (AVX512F, and AVX512BW for the byte kernels: simd/bytes_avx512.h):
// eight doubles or sixteen floats per 512-bit register, 32 registers.
// Included by simd/vec.h: no include guard.
#include "simd/vec_x86.h"

namespace SIMD_NAMESPACE {

using Vec = __m512d;
using FloatVec = __m512;
constexpr int kLanes = 8, kFloatLanes = 16;
constexpr bool kStreamingStores = true;
SIMD_X86_OPERATIONS(_mm512)
// AVX-512F has no floating-point and-not: the sign is cleared as integers.
inline Vec absOf(Vec a) {
  return _mm512_castsi512_pd(
      _mm512_and_epi64(_mm512_castpd_si512(a), _mm512_set1_epi64(0x7fffffffffffffff)));
}
inline FloatVec absOf(FloatVec a) {
  return _mm512_castsi512_ps(
      _mm512_and_epi32(_mm512_castps_si512(a), _mm512_set1_epi32(0x7fffffff)));
}
// vmaxp?(a, b) and vminp?(a, b) return b unless a > b (a < b) holds. All
// lanes selected: the unmasked forms trip a false uninitialised-value warning
// in GCC 12's headers. Same instruction, same rule.
inline Vec maxOf(Vec x, Vec p) { return _mm512_mask_max_pd(p, 0xff, x, p); }
inline Vec minOf(Vec x, Vec p) { return _mm512_mask_min_pd(p, 0xff, x, p); }
inline FloatVec maxOf(FloatVec x, FloatVec p) { return _mm512_mask_max_ps(p, 0xffff, x, p); }
inline FloatVec minOf(FloatVec x, FloatVec p) { return _mm512_mask_min_ps(p, 0xffff, x, p); }
inline uint32_t lessMask(Vec a, Vec b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
inline uint32_t lessMask(FloatVec a, FloatVec b) { return _mm512_cmp_ps_mask(a, b, _CMP_LT_OQ); }

constexpr int kSweepGroup = 8;
constexpr int kPanelVecs = 2, kTileCols = 6;

}  // namespace SIMD_NAMESPACE
