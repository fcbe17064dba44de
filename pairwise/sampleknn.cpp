// [D, I] = sampleknn(X1, X2, code, k): for every sample column j of X2
// (d-by-N2), the min(k, N1) columns of X1 (d-by-N1) nearest to it by
// sampledist's distance of the same code, nearest first: D(:, j) their
// distances, I(:, j) their column numbers. The table of all distances is
// never made.
#include "gateway/gateway.h"
#include "pairwise/nearest_outputs.h"
#include "pairwise/sampleknn_kernels.h"

namespace {

void sampleknn(const gateway::Call &c) {
  using namespace gateway;
  if (c.nrhs != 4) fail(c, "nargin", "The number of input should be 4.\n");
  if (c.nlhs > 2) fail(c, "nargout", "The number of output should not be larger than 2.\n");

  const SampleKnnKernel kernel = sampleknnKernels().at(readSelector(c, 2, "code"));
  if (!kernel) fail(c, "badCode", "The pdm code should be from 1 to 3.\n");

  const Input x1 = readMatrix(c, 0, "X1");
  const Input x2 = readMatrix(c, 1, "X2");
  if (x1.rows != x2.rows)
    fail(c, "sizeMismatch", "The sample dimensions of X1 and X2 are not the same.\n");
  const double k = readCount(c, 3, "k");

  const int32_t N1 = x1.cols, N2 = x2.cols, d = x1.rows;
  // Without rows every distance is 0, as sampledist gives: all tie.
  NearestOutputs out = createNearest(c, k, N1, N2, d == 0);
  if (d > 0 && out.kk > 0)
    forNearestColumns(c, N1, N2, d, d * sizeof(double), [&](int32_t j0, int32_t j1) {
      kernel(x1.data, x2.data, out.D, out.I, N1, d, out.kk, j0, j1);
    });
}

}  // namespace

EXACTMEX_ENTRY(sampleknn)
