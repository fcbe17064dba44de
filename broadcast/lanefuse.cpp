// Y = lanefuse(X, v, d, opcode): X combined with a column (d = 1) or row
// (d = 2) vector v by copy (0), add (1), multiply (2), max (3) or min (4).
// Any other opcode returns zeros of the size of X.
#include "broadcast/lanefuse_kernels.h"
#include "gateway/gateway.h"

namespace {

void lanefuse(const gateway::Call &c) {
  using namespace gateway;
  if (c.nlhs > 1) fail(c, "nargout", "The number of outputs should not be larger than 1\n");
  if (c.nrhs != 4) fail(c, "nargin", "The number of inputs should be 4: X, v, d, opcode\n");

  const Input x = readMatrix(c, 0, "X");
  const Input v = readMatrix(c, 1, "v");
  const int32_t d = readSelector(c, 2, "d");
  const int32_t opcode = readSelector(c, 3, "opcode");

  if (d == 1) {
    if (v.rows != x.rows || v.cols != 1)
      fail(c, "sizeMismatch", "The size of vector v is illegal\n");
  } else if (d == 2) {
    if (v.rows != 1 || v.cols != x.cols)
      fail(c, "sizeMismatch", "The size of vector v is illegal\n");
  } else {
    fail(c, "badCode", "The value of d is illegal, it should be either 1 or 2\n");
  }

  // No kernel for the code: Y keeps the zeros it is created with.
  const LaneKernel<double> kernel = lanefuseKernels<double>().at(opcode);
  double *Y = createOutputLike(c, 0, x, kernel != nullptr);
  if (kernel)
    forColumns(c, Y, x.rows, x.cols, x.rows, [&](int32_t j0, int32_t j1) {
      kernel(d, x.data, v.data, Y, x.rows, x.cols, j0, j1);
    });
}

}  // namespace

EXACTMEX_ENTRY(lanefuse)
