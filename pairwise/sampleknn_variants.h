// The sampleknn kernels in the vector operations of one target: included
// once per target by sampleknn_kernels.cpp (simd/foreach_target.h), so no
// include guard.
#include "pairwise/sample_metrics.h"
#include "simd/nearest.h"

namespace SIMD_NAMESPACE {
namespace {

template <class Metric>
void sampleNearest(const double *X1, const double *X2, double *D, double *I, int32_t N1, int32_t d,
                   int32_t kk, int32_t j0, int32_t j1) {
  nearest(Metric(), X1, X2, D, I, N1, d, kk, j0, j1);
}

constexpr SampleKnnKernel kernels[] = SAMPLE_KERNELS_BY_CODE(sampleNearest);

}  // namespace
}  // namespace SIMD_NAMESPACE
