// Byte operations of AVX-512 (pairwise/sample_bytes.h's protocol): 64 bytes
// per register, absolute differences summed by VPSADBW (AVX-512BW) into
// eight 64-bit lanes. Included per target: no include guard.
namespace SIMD_NAMESPACE {

constexpr int kByteLanes = 64;
using Bytes = __m512i;
inline Bytes loadBytes(const uint8_t *p) { return _mm512_loadu_si512(p); }
inline Bytes splatBytes(uint8_t x) { return _mm512_set1_epi8(char(x)); }
inline Bytes flipBytes(Bytes a) { return _mm512_xor_si512(a, _mm512_set1_epi8(char(0x80))); }
// One of the two saturating differences is 0, the other |a - b|.
inline Bytes absDiffBytes(Bytes a, Bytes b) {
  return _mm512_or_si512(_mm512_subs_epu8(a, b), _mm512_subs_epu8(b, a));
}
inline Bytes maxBytes(Bytes a, Bytes b) { return _mm512_max_epu8(a, b); }
inline Bytes minBytes(Bytes a, Bytes b) { return _mm512_min_epu8(a, b); }
// The largest (smallest) of the 64: the halves swapped, then the quarters,
// then halving the bytes looked at within each quarter.
#define SIMD_BYTES_ACROSS(name, op)                                               \
  inline uint8_t name(__m512i a) {                                                \
    a = op(a, _mm512_mask_shuffle_i64x2(a, 0xff, a, a, _MM_SHUFFLE(1, 0, 3, 2))); \
    a = op(a, _mm512_mask_shuffle_i64x2(a, 0xff, a, a, _MM_SHUFFLE(2, 3, 0, 1))); \
    a = op(a, _mm512_bsrli_epi128(a, 8));                                         \
    a = op(a, _mm512_bsrli_epi128(a, 4));                                         \
    a = op(a, _mm512_bsrli_epi128(a, 2));                                         \
    a = op(a, _mm512_bsrli_epi128(a, 1));                                         \
    return uint8_t(_mm512_cvtsi512_si32(a));                                      \
  }
SIMD_BYTES_ACROSS(largestByte, _mm512_max_epu8)
SIMD_BYTES_ACROSS(smallestByte, _mm512_min_epu8)
#undef SIMD_BYTES_ACROSS

// Totals below 2^52 as doubles: their bits under the exponent of 2^52 make
// 2^52 + total exactly, less 2^52.
inline __m512d doublesOf(__m512i totals) {
  const __m512i big = _mm512_set1_epi64(0x4330000000000000);
  return _mm512_sub_pd(_mm512_castsi512_pd(_mm512_or_si512(totals, big)), _mm512_castsi512_pd(big));
}

using AbsSums = __m512i;
inline AbsSums zeroSums() { return _mm512_setzero_si512(); }
inline AbsSums addAbsDiffs(AbsSums s, Bytes a, Bytes b) {
  return _mm512_add_epi64(s, _mm512_sad_epu8(a, b));
}
// (The masked forms, all lanes selected, as in simd/vec_avx512.h: the
// unmasked ones trip a false uninitialised-value warning in GCC 12.)
// Lanes 0 and 2 of a beside those of b, added to lanes 1 and 3 (of 128 bits).
inline __m512i addLanePairs(__m512i a, __m512i b) {
  return _mm512_add_epi64(_mm512_mask_shuffle_i64x2(a, 0xff, a, b, _MM_SHUFFLE(2, 0, 2, 0)),
                          _mm512_mask_shuffle_i64x2(a, 0xff, a, b, _MM_SHUFFLE(3, 1, 3, 1)));
}
// Totals of eight sums at once: neighbouring 64-bit lanes of pairs of sums
// added, then twice neighbouring 128-bit lanes, leaving the eight in order.
constexpr int kSumGroup = 8;
template <int R>
void totalsOf(const AbsSums (&s)[R], double *out) {
  static_assert(R % kSumGroup == 0, "sums go eight at a time");
  for (int r = 0; r < R; r += 8) {
    __m512i t[4];
    for (int k = 0; k < 4; ++k)
      t[k] =
          _mm512_add_epi64(_mm512_mask_unpacklo_epi64(s[r], 0xff, s[r + 2 * k], s[r + 2 * k + 1]),
                           _mm512_mask_unpackhi_epi64(s[r], 0xff, s[r + 2 * k], s[r + 2 * k + 1]));
    const __m512i all = addLanePairs(addLanePairs(t[0], t[1]), addLanePairs(t[2], t[3]));
    _mm512_storeu_pd(out + r, doublesOf(all));
  }
}

constexpr int kByteRows = 8, kByteCols = 2;

}  // namespace SIMD_NAMESPACE
