#include "broadcast/lanefuse_kernels.h"

namespace {

// Walks X and Y once in storage order. Columns advance by pointer, so the
// offset of a matrix past 2^31 elements never passes through 32-bit values.
template <typename Op>
void combine(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n, Op op) {
  if (d == 1) {
    for (int32_t j = 0; j < n; ++j, X += m, Y += m)
      for (int32_t i = 0; i < m; ++i) Y[i] = op(X[i], v[i]);
  } else {
    for (int32_t j = 0; j < n; ++j, X += m, Y += m) {
      const double p = v[j];
      for (int32_t i = 0; i < m; ++i) Y[i] = op(X[i], p);
    }
  }
}

}  // namespace

void laneCopy(int32_t d, const double *, const double *v, double *Y, int32_t m, int32_t n) {
  for (int32_t j = 0; j < n; ++j, Y += m)
    for (int32_t i = 0; i < m; ++i) Y[i] = d == 1 ? v[i] : v[j];
}

void laneAdd(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n) {
  combine(d, X, v, Y, m, n, [](double x, double p) { return x + p; });
}

void laneMultiply(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n) {
  combine(d, X, v, Y, m, n, [](double x, double p) { return x * p; });
}

void laneMax(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n) {
  combine(d, X, v, Y, m, n, [](double x, double p) { return x > p ? x : p; });
}

void laneMin(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n) {
  combine(d, X, v, Y, m, n, [](double x, double p) { return x < p ? x : p; });
}
