// The binknn kernels in the vector operations of one target: included once
// per target by binknn_kernels.cpp (simd/foreach_target.h), so no include
// guard.
#include "pairwise/bin_metrics.h"
#include "simd/nearest.h"

namespace SIMD_NAMESPACE {
namespace {

template <class Metric>
void binNearest(const double *H1, const double *H2, const double *columnSums, double *D, double *I,
                int32_t N1, int32_t d, int32_t kk, int32_t j0, int32_t j1) {
  nearest(Metric{{columnSums}}, H1, H2, D, I, N1, d, kk, j0, j1);
}

constexpr BinKnnKernel kernels[] = BIN_KERNELS_BY_CODE(binNearest);

}  // namespace
}  // namespace SIMD_NAMESPACE
