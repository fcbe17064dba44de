// The sampledist kernels in the vector operations of one target: included
// once per target by sampledist_kernels.cpp (simd/foreach_target.h), so no
// include guard.
#include "pairwise/sample_metrics.h"

namespace SIMD_NAMESPACE {
namespace {

template <class Metric>
void sample(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2, int32_t d,
            int32_t i0, int32_t i1, int32_t j0, int32_t j1) {
  table(Metric(), X1, X2, D, N1, N2, d, i0, i1, j0, j1);
}

constexpr SampleKernel kernels[] = SAMPLE_KERNELS_BY_CODE(sample);

}  // namespace
}  // namespace SIMD_NAMESPACE
