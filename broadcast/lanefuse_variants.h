// The lanefuse kernels in the vector operations of one target: included once
// per target by lanefuse_kernels.cpp (simd/foreach_target.h), so no include
// guard.
#include "simd/sweep.h"

namespace SIMD_NAMESPACE {
namespace {

// Op(X(i,j), p) with p = v(i) for the column form (d == 1), v(j) otherwise.
template <class T, Op op>
void lane(int32_t d, const T *X, const T *v, T *Y, int32_t m, int32_t n, int32_t j0, int32_t j1) {
  if (d == 1)
    sweep<kReadsX | kReadsCol, T>(X, v, nullptr, Y, m, n, 0, m, j0, j1,
                                  [](auto x, auto c, auto) { return apply<op>(x, c); });
  else
    sweep<kReadsX | kReadsRow, T>(X, nullptr, v, Y, m, n, 0, m, j0, j1,
                                  [](auto x, auto, auto r) { return apply<op>(x, r); });
}

template <class T>
void laneCopy(int32_t d, const T *, const T *v, T *Y, int32_t m, int32_t n, int32_t j0,
              int32_t j1) {
  if (d == 1)
    sweep<kReadsCol, T>(nullptr, v, nullptr, Y, m, n, 0, m, j0, j1,
                        [](auto, auto c, auto) { return c; });
  else
    sweep<kReadsRow, T>(nullptr, nullptr, v, Y, m, n, 0, m, j0, j1,
                        [](auto, auto, auto r) { return r; });
}

template <class T>
constexpr LaneKernel<T> kernels[] = {laneCopy<T>, lane<T, Op::kAdd>, lane<T, Op::kMultiply>,
                                     lane<T, Op::kMax>, lane<T, Op::kMin>};

}  // namespace
}  // namespace SIMD_NAMESPACE
