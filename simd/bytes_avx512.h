// Byte operations of AVX-512 (pairwise/sample_bytes.h's protocol): eight
// lanes of eight bytes per register; those on bytes (VPSADBW, VPMAXUB, ...)
// are AVX-512BW's. Included per target: no include guard.
#include "simd/bytes_x86.h"

namespace SIMD_NAMESPACE {

using Bytes = __m512i;
// The masked shift, all lanes selected: the unmasked one trips a false
// uninitialised-value warning in GCC 12's headers (as in simd/vec_avx512.h).
inline __m512i shiftLanes(__m512i a, unsigned n) { return _mm512_mask_srli_epi64(a, 0xff, a, n); }
SIMD_X86_BYTES(_mm512, 512, _mm512_set1_epi64, shiftLanes)

}  // namespace SIMD_NAMESPACE
