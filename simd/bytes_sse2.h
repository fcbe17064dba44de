// Byte operations of SSE2 (pairwise/sample_bytes.h's protocol): sixteen
// bytes per register, absolute differences summed by PSADBW into two 64-bit
// lanes. Included per target: no include guard.
namespace SIMD_NAMESPACE {

constexpr int kByteLanes = 16;
using Bytes = __m128i;
inline Bytes loadBytes(const uint8_t *p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
}
inline Bytes splatBytes(uint8_t x) { return _mm_set1_epi8(char(x)); }
inline Bytes flipBytes(Bytes a) { return _mm_xor_si128(a, _mm_set1_epi8(char(0x80))); }
// One of the two saturating differences is 0, the other |a - b|.
inline Bytes absDiffBytes(Bytes a, Bytes b) {
  return _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a));
}
inline Bytes maxBytes(Bytes a, Bytes b) { return _mm_max_epu8(a, b); }
inline Bytes minBytes(Bytes a, Bytes b) { return _mm_min_epu8(a, b); }
// The largest (smallest) of the sixteen, halving the bytes looked at.
#define SIMD_BYTES_ACROSS(name, op)       \
  inline uint8_t name(__m128i a) {        \
    a = op(a, _mm_srli_si128(a, 8));      \
    a = op(a, _mm_srli_si128(a, 4));      \
    a = op(a, _mm_srli_si128(a, 2));      \
    a = op(a, _mm_srli_si128(a, 1));      \
    return uint8_t(_mm_cvtsi128_si32(a)); \
  }
SIMD_BYTES_ACROSS(largestByte, _mm_max_epu8)
SIMD_BYTES_ACROSS(smallestByte, _mm_min_epu8)
#undef SIMD_BYTES_ACROSS

// Totals below 2^52 as doubles: their bits under the exponent of 2^52 make
// 2^52 + total exactly, less 2^52.
inline __m128d doublesOf(__m128i totals) {
  const __m128d big = _mm_set1_pd(4503599627370496.0);
  return _mm_sub_pd(_mm_or_pd(_mm_castsi128_pd(totals), big), big);
}

using AbsSums = __m128i;
inline AbsSums zeroSums() { return _mm_setzero_si128(); }
inline AbsSums addAbsDiffs(AbsSums s, Bytes a, Bytes b) {
  return _mm_add_epi64(s, _mm_sad_epu8(a, b));
}
// Totals of pairs of sums: the low lanes of both beside the high ones.
constexpr int kSumGroup = 2;
template <int R>
void totalsOf(const AbsSums (&s)[R], double *out) {
  static_assert(R % kSumGroup == 0, "sums go two at a time");
  for (int r = 0; r < R; r += 2) {
    const __m128i t =
        _mm_add_epi64(_mm_unpacklo_epi64(s[r], s[r + 1]), _mm_unpackhi_epi64(s[r], s[r + 1]));
    _mm_storeu_pd(out + r, doublesOf(t));
  }
}

constexpr int kByteRows = 4, kByteCols = 2;

}  // namespace SIMD_NAMESPACE
