#include "broadcast/crossfuse_kernels.h"

namespace {

template <typename Op>
void cross(const double *X, const double *vrow, const double *vcol, double *Y, int32_t m, int32_t n,
           Op op) {
  for (int32_t j = 0; j < n; ++j, X += m, Y += m) {
    const double r = vrow[j];
    for (int32_t i = 0; i < m; ++i) Y[i] = op(op(r, X[i]), vcol[i]);
  }
}

}  // namespace

void crossSum(const double *X, const double *vrow, const double *vcol, double *Y, int32_t m,
              int32_t n) {
  cross(X, vrow, vcol, Y, m, n, [](double a, double b) { return a + b; });
}

void crossProduct(const double *X, const double *vrow, const double *vcol, double *Y, int32_t m,
                  int32_t n) {
  cross(X, vrow, vcol, Y, m, n, [](double a, double b) { return a * b; });
}
