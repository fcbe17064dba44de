// NEON (AArch64 Advanced SIMD): two doubles per 128-bit register, 32
// registers; part of every arm64 CPU, so it runs wherever it is built.
// Included by simd/vec.h: no include guard.
#include <arm_neon.h>

namespace SIMD_NAMESPACE {

using Vec = float64x2_t;
constexpr int kLanes = 2;
// The non-temporal pair store is only a hint, with no intrinsic.
constexpr bool kStreamingStores = false;
inline Vec load(const double *p) { return vld1q_f64(p); }
inline Vec splat(double x) { return vdupq_n_f64(x); }
inline void store(double *p, Vec a) { vst1q_f64(p, a); }
inline void stream(double *p, Vec a) { vst1q_f64(p, a); }
inline void streamFence() {}
inline Vec add(Vec a, Vec b) { return vaddq_f64(a, b); }
inline Vec mul(Vec a, Vec b) { return vmulq_f64(a, b); }
inline Vec sub(Vec a, Vec b) { return vsubq_f64(a, b); }
inline Vec div(Vec a, Vec b) { return vdivq_f64(a, b); }
inline Vec absOf(Vec a) { return vabsq_f64(a); }
// fmax and fmin return NaN for a NaN operand and +0 for a tie of zeros: the
// strict comparison picks instead, false on a tie or a NaN.
inline Vec maxOf(Vec x, Vec p) { return vbslq_f64(vcgtq_f64(x, p), x, p); }
inline Vec minOf(Vec x, Vec p) { return vbslq_f64(vcltq_f64(x, p), x, p); }
inline uint32_t lessMask(Vec a, Vec b) {
  const uint64x2_t less = vcltq_f64(a, b);
  return uint32_t(vgetq_lane_u64(less, 0) & 1) | uint32_t(vgetq_lane_u64(less, 1) & 2);
}

constexpr int kSweepGroup = 8;
constexpr int kPanelVecs = 4, kTileCols = 4;

}  // namespace SIMD_NAMESPACE
