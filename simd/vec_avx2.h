// AVX2: four doubles or eight floats per 256-bit register, 16 registers.
// Included by simd/vec.h: no include guard.
#include "simd/vec_x86.h"

namespace SIMD_NAMESPACE {

using Vec = __m256d;
using FloatVec = __m256;
constexpr int kLanes = 4, kFloatLanes = 8;
constexpr bool kStreamingStores = true;
SIMD_X86_OPERATIONS(_mm256)
SIMD_X86_SELECTIONS(_mm256)
SIMD_X86_LESS_MASK(_mm256, Vec, pd, _mm256_cmp_pd(a, b, _CMP_LT_OQ))
SIMD_X86_LESS_MASK(_mm256, FloatVec, ps, _mm256_cmp_ps(a, b, _CMP_LT_OQ))

constexpr int kSweepGroup = 8;
constexpr int kPanelVecs = 2, kTileCols = 4;

}  // namespace SIMD_NAMESPACE
