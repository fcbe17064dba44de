// Byte operations of the portable target (pairwise/sample_bytes.h's
// protocol): one byte at a time. Included per target: no include guard.
namespace SIMD_NAMESPACE {

constexpr int kByteLanes = 1;
using Bytes = uint8_t;
inline Bytes loadBytes(const uint8_t *p) { return *p; }
inline Bytes splatBytes(uint8_t x) { return x; }
inline Bytes flipBytes(Bytes a) { return Bytes(a ^ 0x80); }
inline Bytes absDiffBytes(Bytes a, Bytes b) { return Bytes(a > b ? a - b : b - a); }
inline Bytes maxBytes(Bytes a, Bytes b) { return a > b ? a : b; }
inline Bytes minBytes(Bytes a, Bytes b) { return a < b ? a : b; }
inline uint8_t largestByte(Bytes a) { return a; }
inline uint8_t smallestByte(Bytes a) { return a; }

using AbsSums = uint64_t;
inline AbsSums zeroSums() { return 0; }
inline AbsSums addAbsDiffs(AbsSums s, Bytes a, Bytes b) { return s + absDiffBytes(a, b); }
constexpr int kSumGroup = 1;
template <int R>
void totalsOf(const AbsSums (&s)[R], double *out) {
  for (int r = 0; r < R; ++r) out[r] = double(s[r]);
}

constexpr int kByteRows = 1, kByteCols = 4;

}  // namespace SIMD_NAMESPACE
