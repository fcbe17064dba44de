// Byte operations of AVX2 (pairwise/sample_bytes.h's protocol): 32 bytes per
// register, absolute differences summed by VPSADBW into four 64-bit lanes.
// Included per target: no include guard.
namespace SIMD_NAMESPACE {

constexpr int kByteLanes = 32;
using Bytes = __m256i;
inline Bytes loadBytes(const uint8_t *p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
}
inline Bytes splatBytes(uint8_t x) { return _mm256_set1_epi8(char(x)); }
inline Bytes flipBytes(Bytes a) { return _mm256_xor_si256(a, _mm256_set1_epi8(char(0x80))); }
// One of the two saturating differences is 0, the other |a - b|.
inline Bytes absDiffBytes(Bytes a, Bytes b) {
  return _mm256_or_si256(_mm256_subs_epu8(a, b), _mm256_subs_epu8(b, a));
}
inline Bytes maxBytes(Bytes a, Bytes b) { return _mm256_max_epu8(a, b); }
inline Bytes minBytes(Bytes a, Bytes b) { return _mm256_min_epu8(a, b); }
// The largest (smallest) of the 32: the two halves, then halving the bytes
// looked at.
#define SIMD_BYTES_ACROSS(name, op)                                            \
  inline uint8_t name(__m256i v) {                                             \
    __m128i a = op(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)); \
    a = op(a, _mm_srli_si128(a, 8));                                           \
    a = op(a, _mm_srli_si128(a, 4));                                           \
    a = op(a, _mm_srli_si128(a, 2));                                           \
    a = op(a, _mm_srli_si128(a, 1));                                           \
    return uint8_t(_mm_cvtsi128_si32(a));                                      \
  }
SIMD_BYTES_ACROSS(largestByte, _mm_max_epu8)
SIMD_BYTES_ACROSS(smallestByte, _mm_min_epu8)
#undef SIMD_BYTES_ACROSS

// Totals below 2^52 as doubles: their bits under the exponent of 2^52 make
// 2^52 + total exactly, less 2^52.
inline __m256d doublesOf(__m256i totals) {
  const __m256d big = _mm256_set1_pd(4503599627370496.0);
  return _mm256_sub_pd(_mm256_or_pd(_mm256_castsi256_pd(totals), big), big);
}

using AbsSums = __m256i;
inline AbsSums zeroSums() { return _mm256_setzero_si256(); }
inline AbsSums addAbsDiffs(AbsSums s, Bytes a, Bytes b) {
  return _mm256_add_epi64(s, _mm256_sad_epu8(a, b));
}
// Totals of four sums at once: pairs of lanes added within each half, then
// the halves of both pairs.
constexpr int kSumGroup = 4;
template <int R>
void totalsOf(const AbsSums (&s)[R], double *out) {
  static_assert(R % kSumGroup == 0, "sums go four at a time");
  for (int r = 0; r < R; r += 4) {
    const __m256i s01 = _mm256_add_epi64(_mm256_unpacklo_epi64(s[r], s[r + 1]),
                                         _mm256_unpackhi_epi64(s[r], s[r + 1]));
    const __m256i s23 = _mm256_add_epi64(_mm256_unpacklo_epi64(s[r + 2], s[r + 3]),
                                         _mm256_unpackhi_epi64(s[r + 2], s[r + 3]));
    const __m256i t = _mm256_add_epi64(_mm256_permute2x128_si256(s01, s23, 0x20),
                                       _mm256_permute2x128_si256(s01, s23, 0x31));
    _mm256_storeu_pd(out + r, doublesOf(t));
  }
}

constexpr int kByteRows = 4, kByteCols = 2;

}  // namespace SIMD_NAMESPACE
