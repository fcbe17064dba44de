// Byte operations of the portable target (pairwise/sample_bytes.h's
// protocol): one lane of eight bytes in a 64-bit integer, a byte at a time.
// Included per target: no include guard.
#include <cstring>

namespace SIMD_NAMESPACE {

constexpr int kByteLanes = 8;
using Bytes = uint64_t;
inline Bytes loadBytes(const uint8_t *p) {
  Bytes a;
  std::memcpy(&a, p, sizeof a);
  return a;
}
inline Bytes splatBytes8(const uint8_t *p) { return loadBytes(p); }
inline Bytes splatByte(uint8_t x) { return 0x0101010101010101ull * x; }
inline Bytes flipBytes(Bytes a) { return a ^ 0x8080808080808080ull; }

// Byte e of a and of b to f(x, y), for each e.
template <class F>
Bytes eachByte(Bytes a, Bytes b, F f) {
  Bytes r = 0;
  for (int e = 0; e < 8; ++e) r |= Bytes(f(uint8_t(a >> 8 * e), uint8_t(b >> 8 * e))) << 8 * e;
  return r;
}
inline Bytes absDiffBytes(Bytes a, Bytes b) {
  return eachByte(a, b, [](uint8_t x, uint8_t y) { return x > y ? x - y : y - x; });
}
inline Bytes maxBytes(Bytes a, Bytes b) {
  return eachByte(a, b, [](uint8_t x, uint8_t y) { return x > y ? x : y; });
}
inline Bytes minBytes(Bytes a, Bytes b) {
  return eachByte(a, b, [](uint8_t x, uint8_t y) { return x < y ? x : y; });
}
inline Vec largestOfLanes(Bytes a) {
  uint8_t m = 0;
  for (int e = 0; e < 8; ++e) m = uint8_t(a >> 8 * e) > m ? uint8_t(a >> 8 * e) : m;
  return m;
}
inline Vec smallestOfLanes(Bytes a) {
  uint8_t m = 255;
  for (int e = 0; e < 8; ++e) m = uint8_t(a >> 8 * e) < m ? uint8_t(a >> 8 * e) : m;
  return m;
}

using AbsSums = uint64_t;
inline AbsSums zeroSums() { return 0; }
inline AbsSums addAbsDiffs(AbsSums s, Bytes a, Bytes b) {
  const Bytes t = absDiffBytes(a, b);
  for (int e = 0; e < 8; ++e) s += uint8_t(t >> 8 * e);
  return s;
}
// A sum is below 2^53: converted as signed, which 32-bit x86 does without
// the x87 correction step an unsigned 64-bit conversion takes.
inline Vec doublesOfSums(AbsSums s) { return double(int64_t(s)); }

}  // namespace SIMD_NAMESPACE
