// Y = meshapply(x, y, opcode): the numel(x)-by-numel(y) table of x(i) op y(j)
// for sum (1), product (2), absolute difference (3), max (4) or min (5). The
// shapes of x and y do not matter, only their elements in linear order.
#include "gateway/gateway.h"
#include "pairwise/meshapply_kernels.h"

namespace {

void meshapply(const gateway::Call &c) {
  using namespace gateway;
  if (c.nrhs != 3) fail(c, "nargin", "The number of input arguments should be 3.\n");
  if (c.nlhs > 1) fail(c, "nargout", "The number of output arguments should not exceed 1.\n");

  const MeshKernel<double> kernel = meshapplyKernels<double>().at(readSelector(c, 2, "opcode"));
  if (!kernel) fail(c, "badCode", "The opcode should be between 1 and 5.\n");

  const Input x = readMatrix(c, 0, "x");
  const Input y = readMatrix(c, 1, "y");
  const int32_t m = x.count, n = y.count;
  double *Y = createOutput(c, m, n, true);
  forPairBlocks(c, Y, m, n, 1, sizeof(double),
                [&](const Block &b) { kernel(x.data, y.data, Y, m, n, b.i0, b.i1, b.j0, b.j1); });
}

}  // namespace

EXACTMEX_ENTRY(meshapply)
