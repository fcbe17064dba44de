// Byte operations of NEON (pairwise/sample_bytes.h's protocol): two lanes of
// eight bytes per register, absolute differences by UABD, widened pairwise
// within each lane into its 64-bit total. Included per target: no include
// guard.
#include <cstring>

namespace SIMD_NAMESPACE {

constexpr int kByteLanes = 16;
using Bytes = uint8x16_t;
inline Bytes loadBytes(const uint8_t *p) { return vld1q_u8(p); }
inline Bytes splatBytes8(const uint8_t *p) {
  uint64_t lane;
  std::memcpy(&lane, p, sizeof lane);
  return vreinterpretq_u8_u64(vdupq_n_u64(lane));
}
inline Bytes splatByte(uint8_t x) { return vdupq_n_u8(x); }
inline Bytes flipBytes(Bytes a) { return veorq_u8(a, vdupq_n_u8(0x80)); }
inline Bytes absDiffBytes(Bytes a, Bytes b) { return vabdq_u8(a, b); }
inline Bytes maxBytes(Bytes a, Bytes b) { return vmaxq_u8(a, b); }
inline Bytes minBytes(Bytes a, Bytes b) { return vminq_u8(a, b); }

using AbsSums = uint64x2_t;
inline AbsSums zeroSums() { return vdupq_n_u64(0); }
inline AbsSums addAbsDiffs(AbsSums s, Bytes a, Bytes b) {
  return vpadalq_u32(s, vpaddlq_u16(vpaddlq_u8(vabdq_u8(a, b))));
}
// Totals below 2^53 convert exactly.
inline Vec doublesOfSums(AbsSums s) { return vcvtq_f64_u64(s); }
// The largest (smallest) byte of each 64-bit lane: halving the bytes looked
// at, the lowest byte taking only bytes of its own lane.
#define SIMD_NEON_ACROSS_LANES(name, op)                                         \
  inline Vec name(Bytes a) {                                                     \
    a = op(a, vreinterpretq_u8_u64(vshrq_n_u64(vreinterpretq_u64_u8(a), 32)));   \
    a = op(a, vreinterpretq_u8_u64(vshrq_n_u64(vreinterpretq_u64_u8(a), 16)));   \
    a = op(a, vreinterpretq_u8_u64(vshrq_n_u64(vreinterpretq_u64_u8(a), 8)));    \
    return doublesOfSums(vandq_u64(vreinterpretq_u64_u8(a), vdupq_n_u64(0xff))); \
  }
SIMD_NEON_ACROSS_LANES(largestOfLanes, vmaxq_u8)
SIMD_NEON_ACROSS_LANES(smallestOfLanes, vminq_u8)
#undef SIMD_NEON_ACROSS_LANES

}  // namespace SIMD_NAMESPACE
