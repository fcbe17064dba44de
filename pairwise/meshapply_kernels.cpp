#include "pairwise/meshapply_kernels.h"

#include <cmath>

namespace {

// One output column per element of y. Columns advance by pointer, so a table
// past 2^31 elements is addressed without 32-bit offsets.
template <typename Op>
void table(const double *x, const double *y, double *Y, int32_t m, int32_t n, Op op) {
  for (int32_t j = 0; j < n; ++j, Y += m) {
    const double v = y[j];
    for (int32_t i = 0; i < m; ++i) Y[i] = op(x[i], v);
  }
}

}  // namespace

void meshSum(const double *x, const double *y, double *Y, int32_t m, int32_t n) {
  table(x, y, Y, m, n, [](double a, double b) { return a + b; });
}

void meshProduct(const double *x, const double *y, double *Y, int32_t m, int32_t n) {
  table(x, y, Y, m, n, [](double a, double b) { return a * b; });
}

void meshAbsDifference(const double *x, const double *y, double *Y, int32_t m, int32_t n) {
  table(x, y, Y, m, n, [](double a, double b) { return std::fabs(a - b); });
}

void meshMax(const double *x, const double *y, double *Y, int32_t m, int32_t n) {
  table(x, y, Y, m, n, [](double a, double b) { return a > b ? a : b; });
}

void meshMin(const double *x, const double *y, double *Y, int32_t m, int32_t n) {
  table(x, y, Y, m, n, [](double a, double b) { return a < b ? a : b; });
}
