// Byte operations of the x86 targets (pairwise/sample_bytes.h's protocol),
// their intrinsics differing in prefix alone (p: _mm, _mm256, _mm512), in
// the width of the vector (bits) and in the names of the broadcast of a
// 64-bit integer (set1q) and of the right shift of 64-bit lanes (srliq):
// expanded by simd/bytes_TARGET.h in its namespace, after it defines Bytes.
// Absolute differences of bytes are summed by (V)PSADBW, eight bytes into
// each 64-bit lane. No include guard: the macro is defined alike each time.
#include <cstring>

#define SIMD_X86_BYTES(p, bits, set1q, srliq)                                                \
  constexpr int kByteLanes = sizeof(Bytes);                                                  \
  inline Bytes loadBytes(const uint8_t *q) {                                                 \
    return p##_loadu_si##bits(reinterpret_cast<const Bytes *>(q));                           \
  }                                                                                          \
  inline Bytes splatBytes8(const uint8_t *q) {                                               \
    long long lane;                                                                          \
    std::memcpy(&lane, q, sizeof lane);                                                      \
    return set1q(lane);                                                                      \
  }                                                                                          \
  inline Bytes splatByte(uint8_t x) { return p##_set1_epi8(char(x)); }                       \
  inline Bytes flipBytes(Bytes a) { return p##_xor_si##bits(a, p##_set1_epi8(char(0x80))); } \
  /* One of the two saturating differences is 0, the other |a - b|. */                       \
  inline Bytes absDiffBytes(Bytes a, Bytes b) {                                              \
    return p##_or_si##bits(p##_subs_epu8(a, b), p##_subs_epu8(b, a));                        \
  }                                                                                          \
  inline Bytes maxBytes(Bytes a, Bytes b) { return p##_max_epu8(a, b); }                     \
  inline Bytes minBytes(Bytes a, Bytes b) { return p##_min_epu8(a, b); }                     \
  /* Totals below 2^52 as doubles: their bits under the exponent of 2^52 make */             \
  /* 2^52 + total exactly, less 2^52. */                                                     \
  inline Vec doublesOfSums(Bytes totals) {                                                   \
    const Bytes big = set1q(0x4330000000000000);                                             \
    return p##_sub_pd(p##_castsi##bits##_pd(p##_or_si##bits(totals, big)),                   \
                      p##_castsi##bits##_pd(big));                                           \
  }                                                                                          \
  /* The largest (smallest) byte of each 64-bit lane: halving the bytes looked */            \
  /* at, the lowest byte taking only bytes of its own lane. */                               \
  inline Vec largestOfLanes(Bytes a) {                                                       \
    a = p##_max_epu8(a, srliq(a, 32));                                                       \
    a = p##_max_epu8(a, srliq(a, 16));                                                       \
    a = p##_max_epu8(a, srliq(a, 8));                                                        \
    return doublesOfSums(p##_and_si##bits(a, set1q(0xff)));                                  \
  }                                                                                          \
  inline Vec smallestOfLanes(Bytes a) {                                                      \
    a = p##_min_epu8(a, srliq(a, 32));                                                       \
    a = p##_min_epu8(a, srliq(a, 16));                                                       \
    a = p##_min_epu8(a, srliq(a, 8));                                                        \
    return doublesOfSums(p##_and_si##bits(a, set1q(0xff)));                                  \
  }                                                                                          \
  using AbsSums = Bytes;                                                                     \
  inline AbsSums zeroSums() { return p##_setzero_si##bits(); }                               \
  inline AbsSums addAbsDiffs(AbsSums s, Bytes a, Bytes b) {                                  \
    return p##_add_epi64(s, p##_sad_epu8(a, b));                                             \
  }
