// The lanefuse kernels in the vector operations of one target: included once per
// target by lanefuse_kernels.cpp (simd/foreach_target.h), so no include guard.
#include "broadcast/sweep.h"

namespace SIMD_NAMESPACE {

namespace {

// op(X(i,j), p) with p = v(i) for the column form (d == 1), v(j) otherwise.
template <class Op>
void lane(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n, int32_t j0,
          int32_t j1, Op op) {
  if (d == 1)
    sweep<kReadsX | kReadsCol>(X, v, nullptr, Y, m, n, j0, j1,
                               [op](auto x, auto c, auto) { return op(x, c); });
  else
    sweep<kReadsX | kReadsRow>(X, nullptr, v, Y, m, n, j0, j1,
                               [op](auto x, auto, auto r) { return op(x, r); });
}

}  // namespace

void laneCopy(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
              int32_t j0, int32_t j1) {
  if (d == 1)
    sweep<kReadsCol>(X, v, nullptr, Y, m, n, j0, j1, [](auto, auto c, auto) { return c; });
  else
    sweep<kReadsRow>(X, nullptr, v, Y, m, n, j0, j1, [](auto, auto, auto r) { return r; });
}

void laneAdd(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
             int32_t j0, int32_t j1) {
  lane(d, X, v, Y, m, n, j0, j1, [](auto x, auto p) { return add(x, p); });
}

void laneMultiply(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
                  int32_t j0, int32_t j1) {
  lane(d, X, v, Y, m, n, j0, j1, [](auto x, auto p) { return mul(x, p); });
}

void laneMax(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
             int32_t j0, int32_t j1) {
  lane(d, X, v, Y, m, n, j0, j1, [](auto x, auto p) { return maxOf(x, p); });
}

void laneMin(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
             int32_t j0, int32_t j1) {
  lane(d, X, v, Y, m, n, j0, j1, [](auto x, auto p) { return minOf(x, p); });
}

}  // namespace SIMD_NAMESPACE
