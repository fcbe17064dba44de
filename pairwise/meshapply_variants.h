// The meshapply kernels in the vector operations of one target: included once
// per target by meshapply_kernels.cpp (simd/foreach_target.h), so no include
// guard. The table is a sweep with x as the column operand and y as the row
// operand: Y(i, j) = x(i) op y(j), in the operand order of the definition.
#include "simd/sweep.h"

namespace SIMD_NAMESPACE {
namespace {

template <class T, Op op>
void mesh(const T *x, const T *y, T *Y, int32_t m, int32_t n, int32_t i0, int32_t i1, int32_t j0,
          int32_t j1) {
  sweep<kReadsCol | kReadsRow, T>(nullptr, x, y, Y, m, n, i0, i1, j0, j1,
                                  [](auto, auto a, auto b) { return apply<op>(a, b); });
}

template <class T>
constexpr MeshKernel<T> kernels[] = {
    nullptr,           mesh<T, Op::kAdd>, mesh<T, Op::kMultiply>, mesh<T, Op::kAbsDifference>,
    mesh<T, Op::kMax>, mesh<T, Op::kMin>};

}  // namespace
}  // namespace SIMD_NAMESPACE
