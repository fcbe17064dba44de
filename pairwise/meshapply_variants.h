// The meshapply kernels in the vector operations of one target: included once
// per target by meshapply_kernels.cpp (simd/foreach_target.h), so no include
// guard. The table is the broadcast sweep with x as the column operand and y
// as the row operand: Y(i, j) = x(i) op y(j), in the operand order of the
// definition. The sweep steps its matrix operand by columns even where it
// never reads it, so Y, of the same shape, stands in for it.
#include "broadcast/sweep.h"

namespace SIMD_NAMESPACE {

void meshSum(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t j0,
             int32_t j1) {
  sweep<kReadsCol | kReadsRow>(Y, x, y, Y, m, n, j0, j1,
                               [](auto, auto a, auto b) { return add(a, b); });
}

void meshProduct(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t j0,
                 int32_t j1) {
  sweep<kReadsCol | kReadsRow>(Y, x, y, Y, m, n, j0, j1,
                               [](auto, auto a, auto b) { return mul(a, b); });
}

void meshAbsDifference(const double *x, const double *y, double *Y, int32_t m, int32_t n,
                       int32_t j0, int32_t j1) {
  sweep<kReadsCol | kReadsRow>(Y, x, y, Y, m, n, j0, j1,
                               [](auto, auto a, auto b) { return absOf(sub(a, b)); });
}

void meshMax(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t j0,
             int32_t j1) {
  sweep<kReadsCol | kReadsRow>(Y, x, y, Y, m, n, j0, j1,
                               [](auto, auto a, auto b) { return maxOf(a, b); });
}

void meshMin(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t j0,
             int32_t j1) {
  sweep<kReadsCol | kReadsRow>(Y, x, y, Y, m, n, j0, j1,
                               [](auto, auto a, auto b) { return minOf(a, b); });
}

}  // namespace SIMD_NAMESPACE
