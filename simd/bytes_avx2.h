// Byte operations of AVX2 (pairwise/sample_bytes.h's protocol): four lanes
// of eight bytes per register. Included per target: no include guard.
#include "simd/bytes_x86.h"

namespace SIMD_NAMESPACE {

using Bytes = __m256i;
SIMD_X86_BYTES(_mm256, 256, _mm256_set1_epi64x, _mm256_srli_epi64)

}  // namespace SIMD_NAMESPACE
