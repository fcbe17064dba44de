// The bindist kernels in the vector operations of one target: included once
// per target by bindist_kernels.cpp (simd/foreach_target.h), so no include
// guard.
#include "pairwise/bin_metrics.h"

namespace SIMD_NAMESPACE {
namespace {

template <class Metric>
void bin(const double *H1, const double *H2, const double *columnSums, double *D, int32_t N1,
         int32_t N2, int32_t d, int32_t i0, int32_t i1, int32_t j0, int32_t j1) {
  table(Metric{{columnSums}}, H1, H2, D, N1, N2, d, i0, i1, j0, j1);
}

constexpr BinKernel kernels[] = BIN_KERNELS_BY_CODE(bin);

}  // namespace
}  // namespace SIMD_NAMESPACE
