// The crossfuse kernels in the vector operations of one target: included once
// per target by crossfuse_kernels.cpp (simd/foreach_target.h), so no include
// guard.
#include "simd/sweep.h"

namespace SIMD_NAMESPACE {
namespace {

// The row element and the matrix element combine first, rounded to double,
// then the column element comes in.
template <Op op>
void cross(const double *X, const double *vrow, const double *vcol, double *Y, int32_t m, int32_t n,
           int32_t j0, int32_t j1) {
  sweep<kReadsX | kReadsCol | kReadsRow>(
      X, vcol, vrow, Y, m, n, 0, m, j0, j1,
      [](auto x, auto c, auto r) { return apply<op>(apply<op>(r, x), c); });
}

constexpr CrossKernel kernels[] = {nullptr, cross<Op::kAdd>, cross<Op::kMultiply>};

}  // namespace
}  // namespace SIMD_NAMESPACE
