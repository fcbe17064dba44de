// Byte operations of NEON (pairwise/sample_bytes.h's protocol): sixteen
// bytes per register, absolute differences by UABD, widened pairwise into
// two 64-bit lanes. Included per target: no include guard.
namespace SIMD_NAMESPACE {

constexpr int kByteLanes = 16;
using Bytes = uint8x16_t;
inline Bytes loadBytes(const uint8_t *p) { return vld1q_u8(p); }
inline Bytes splatBytes(uint8_t x) { return vdupq_n_u8(x); }
inline Bytes flipBytes(Bytes a) { return veorq_u8(a, vdupq_n_u8(0x80)); }
inline Bytes absDiffBytes(Bytes a, Bytes b) { return vabdq_u8(a, b); }
inline Bytes maxBytes(Bytes a, Bytes b) { return vmaxq_u8(a, b); }
inline Bytes minBytes(Bytes a, Bytes b) { return vminq_u8(a, b); }
inline uint8_t largestByte(Bytes a) { return vmaxvq_u8(a); }
inline uint8_t smallestByte(Bytes a) { return vminvq_u8(a); }

// 16-bit pairs of differences, 32-bit quadruples, added into 64-bit lanes:
// no lane overflows whatever the count of rows.
using AbsSums = uint64x2_t;
inline AbsSums zeroSums() { return vdupq_n_u64(0); }
inline AbsSums addAbsDiffs(AbsSums s, Bytes a, Bytes b) {
  return vpadalq_u32(s, vpaddlq_u16(vpaddlq_u8(vabdq_u8(a, b))));
}
constexpr int kSumGroup = 1;
template <int R>
void totalsOf(const AbsSums (&s)[R], double *out) {
  for (int r = 0; r < R; ++r) out[r] = double(vaddvq_u64(s[r]));
}

constexpr int kByteRows = 4, kByteCols = 2;

}  // namespace SIMD_NAMESPACE
