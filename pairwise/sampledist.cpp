// D = sampledist(X1, X2, code): for every column i of X1 (d-by-N1) and column
// j of X2 (d-by-N2), the sum (1), largest (2) or smallest (3) of the absolute
// differences of their elements, as the N1-by-N2 matrix D.
#include "gateway/gateway.h"
#include "pairwise/sampledist_kernels.h"

namespace {

void sampledist(const gateway::Call &c) {
  using namespace gateway;
  if (c.nrhs != 3) fail(c, "nargin", "The number of input should be 3.\n");
  if (c.nlhs > 1) fail(c, "nargout", "The number of output should not be larger than 1.\n");

  const SampleKernel kernel = sampledistKernels().at(readSelector(c, 2, "code"));
  if (!kernel) fail(c, "badCode", "The pdm code should be from 1 to 3.\n");

  const Input x1 = readMatrix(c, 0, "X1");
  const Input x2 = readMatrix(c, 1, "X2");
  if (x1.rows != x2.rows)
    fail(c, "sizeMismatch", "The sample dimensions of X1 and X2 are not the same.\n");

  const int32_t N1 = x1.cols, N2 = x2.cols, d = x1.rows;
  // Without rows no pair has a first term to start from: D keeps its zeros.
  double *D = createOutput(c, N1, N2, d > 0);
  if (d > 0)
    forPairBlocks(c, D, N1, N2, d, d * sizeof(double), [&](const Block &b) {
      kernel(x1.data, x2.data, D, N1, N2, d, b.i0, b.i1, b.j0, b.j1);
    });
}

}  // namespace

EXACTMEX_ENTRY(sampledist)
