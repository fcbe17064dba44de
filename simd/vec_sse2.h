// SSE2: two doubles or four floats per 128-bit register, 16 registers; part
// of the x86-64 baseline. Included by simd/vec.h: no include guard. Built
// first of the x86 targets, outside any instruction set's region, it declares
// the intrinsics of them all, so that they are never declared inside a wider
// target's.
#include "simd/vec_x86.h"

namespace SIMD_NAMESPACE {

using Vec = __m128d;
using FloatVec = __m128;
constexpr int kLanes = 2, kFloatLanes = 4;
constexpr bool kStreamingStores = true;
SIMD_X86_OPERATIONS(_mm)
SIMD_X86_SELECTIONS(_mm)
SIMD_X86_LESS_MASK(_mm, Vec, pd, _mm_cmplt_pd(a, b))
SIMD_X86_LESS_MASK(_mm, FloatVec, ps, _mm_cmplt_ps(a, b))

constexpr int kSweepGroup = 4;
constexpr int kPanelVecs = 4, kTileCols = 2;

}  // namespace SIMD_NAMESPACE
