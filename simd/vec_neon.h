// NEON (AArch64 Advanced SIMD): two doubles or four floats per 128-bit
// register, 32 registers; part of every arm64 CPU, so it runs wherever it is
// built. Included by simd/vec.h: no include guard.
#include <arm_neon.h>

namespace SIMD_NAMESPACE {

using Vec = float64x2_t;
using FloatVec = float32x4_t;
constexpr int kLanes = 2, kFloatLanes = 4;
// The non-temporal pair store is only a hint, with no intrinsic.
constexpr bool kStreamingStores = false;
inline void streamFence() {}

// The operations on vectors V of elements T, whose intrinsics end in s.
// fmax and fmin return NaN for a NaN operand and +0 for a tie of zeros: the
// strict comparison picks instead, false on a tie or a NaN.
#define SIMD_NEON_OPERATIONS(V, T, s)                                   \
  inline V load(const T *p) { return vld1q_##s(p); }                    \
  inline V splat(T x) { return vdupq_n_##s(x); }                        \
  inline void store(T *p, V a) { vst1q_##s(p, a); }                     \
  inline void stream(T *p, V a) { vst1q_##s(p, a); }                    \
  inline V add(V a, V b) { return vaddq_##s(a, b); }                    \
  inline V mul(V a, V b) { return vmulq_##s(a, b); }                    \
  inline V sub(V a, V b) { return vsubq_##s(a, b); }                    \
  inline V div(V a, V b) { return vdivq_##s(a, b); }                    \
  inline V absOf(V a) { return vabsq_##s(a); }                          \
  inline V maxOf(V x, V p) { return vbslq_##s(vcgtq_##s(x, p), x, p); } \
  inline V minOf(V x, V p) { return vbslq_##s(vcltq_##s(x, p), x, p); }
SIMD_NEON_OPERATIONS(Vec, double, f64)
SIMD_NEON_OPERATIONS(FloatVec, float, f32)
#undef SIMD_NEON_OPERATIONS

inline uint32_t lessMask(Vec a, Vec b) {
  const uint64x2_t less = vcltq_f64(a, b);
  return uint32_t(vgetq_lane_u64(less, 0) & 1) | uint32_t(vgetq_lane_u64(less, 1) & 2);
}
// Bit l of each lane's all-ones comparison, added across the lanes.
inline uint32_t lessMask(FloatVec a, FloatVec b) {
  static const uint32_t laneBits[4] = {1, 2, 4, 8};
  return vaddvq_u32(vandq_u32(vcltq_f32(a, b), vld1q_u32(laneBits)));
}

constexpr int kSweepGroup = 8;
constexpr int kPanelVecs = 4, kTileCols = 4;

}  // namespace SIMD_NAMESPACE
