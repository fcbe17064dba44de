// Byte operations of SSE2 (pairwise/sample_bytes.h's protocol): two lanes of
// eight bytes per register. Included per target: no include guard.
#include "simd/bytes_x86.h"

namespace SIMD_NAMESPACE {

using Bytes = __m128i;
SIMD_X86_BYTES(_mm, 128, _mm_set1_epi64x, _mm_srli_epi64)

}  // namespace SIMD_NAMESPACE
