// Y = crossfuse(X, vrow, vcol, opcode): (vrow(j) + X(i,j)) + vcol(i) for
// opcode 1, (vrow(j) * X(i,j)) * vcol(i) for opcode 2, zeros otherwise; all
// of doubles or all of singles.
#include <tuple>

#include "broadcast/crossfuse_kernels.h"
#include "gateway/gateway.h"

namespace {

// X and the vectors of doubles or of singles, Y of their class.
using Classes = std::tuple<double, float>;

template <class T>
void fuse(const gateway::Call &c, const gateway::Input &x, const gateway::Input &row,
          const gateway::Input &col, int32_t opcode) {
  using namespace gateway;
  // No kernel for the code: Y keeps the zeros it is created with.
  const CrossKernel<T> kernel = crossfuseKernels<T>().at(opcode);
  T *Y = createOutputLike<T>(c, 0, x, kernel != nullptr);
  if (kernel)
    forColumns(c, Y, x.rows, x.cols, x.rows, [&](int32_t j0, int32_t j1) {
      kernel(x.as<T>(), row.as<T>(), col.as<T>(), Y, x.rows, x.cols, j0, j1);
    });
}

void crossfuse(const gateway::Call &c) {
  using namespace gateway;
  if (c.nlhs > 1) fail(c, "nargout", "The number of outputs should not be larger than 1\n");
  if (c.nrhs != 4) fail(c, "nargin", "The number of inputs should be 4: X, vrow, vcol, opcode\n");

  const Input x = readMatrix(c, 0, "X", Classes());
  const Input row = readMatrix(c, 1, "vrow", Classes());
  const Input col = readMatrix(c, 2, "vcol", Classes());
  sameClass(c, x, "X", row, "vrow");
  sameClass(c, x, "X", col, "vcol");
  const int32_t opcode = readSelector(c, 3, "opcode");

  if (row.rows != 1 || row.cols != x.cols)
    fail(c, "sizeMismatch", "The size of the row vector is illegal, it should be 1 x n.\n");
  if (col.rows != x.rows || col.cols != 1)
    fail(c, "sizeMismatch", "The size of the column vector is illegal, it should be m x 1.\n");

  forClass(Classes(), x.cls, [&](auto zero) { fuse<decltype(zero)>(c, x, row, col, opcode); });
}

}  // namespace

EXACTMEX_ENTRY(crossfuse)
