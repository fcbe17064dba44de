// The meshapply kernels in the vector operations of one target: included once
// per target by meshapply_kernels.cpp (simd/foreach_target.h), so no include
// guard. The table is a sweep with x as the column operand and y as the row
// operand: Y(i, j) = x(i) op y(j), in the operand order of the definition.
#include "simd/sweep.h"

namespace SIMD_NAMESPACE {
namespace {

template <Op op>
void mesh(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t i0, int32_t i1,
          int32_t j0, int32_t j1) {
  sweep<kReadsCol | kReadsRow>(nullptr, x, y, Y, m, n, i0, i1, j0, j1,
                               [](auto, auto a, auto b) { return apply<op>(a, b); });
}

constexpr MeshKernel kernels[] = {
    nullptr,        mesh<Op::kAdd>, mesh<Op::kMultiply>, mesh<Op::kAbsDifference>,
    mesh<Op::kMax>, mesh<Op::kMin>};

}  // namespace
}  // namespace SIMD_NAMESPACE
