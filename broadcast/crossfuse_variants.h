// The crossfuse kernels in the vector operations of one target: included once
// per target by crossfuse_kernels.cpp (simd/foreach_target.h), so no include
// guard.
#include "simd/sweep.h"

namespace SIMD_NAMESPACE {
namespace {

// The row element and the matrix element combine first, rounded to T, then
// the column element comes in.
template <class T, Op op>
void cross(const T *X, const T *vrow, const T *vcol, T *Y, int32_t m, int32_t n, int32_t j0,
           int32_t j1) {
  sweep<kReadsX | kReadsCol | kReadsRow>(
      X, vcol, vrow, Y, m, n, 0, m, j0, j1,
      [](auto x, auto c, auto r) { return apply<op>(apply<op>(r, x), c); });
}

template <class T>
constexpr CrossKernel<T> kernels[] = {nullptr, cross<T, Op::kAdd>, cross<T, Op::kMultiply>};

}  // namespace
}  // namespace SIMD_NAMESPACE
