// D = bindist(H1, H2, mcode): for every histogram column i of H1 (d-by-N1)
// and column j of H2 (d-by-N2), the intersection distance normalised by the
// total of column j (1), the chi-square distance (2) or the logarithmic
// divergence (3), as the N1-by-N2 matrix D.
#include "gateway/gateway.h"
#include "pairwise/bindist_kernels.h"
#include "pairwise/histograms.h"

namespace {

void bindist(const gateway::Call &c) {
  using namespace gateway;
  if (c.nrhs != 3) fail(c, "nargin", "bindist uses 3 input arguments.\n");
  if (c.nlhs > 1) fail(c, "nargout", "Too many output arguments for bindist.\n");

  const Input h1 = readMatrix(c, 0, "H1");
  const Input h2 = readMatrix(c, 1, "H2");
  const int32_t mcode = readSelector(c, 2, "mcode");
  const BinKernel kernel = bindistKernels().at(mcode);
  // The wording of both messages is relied on by callers as it stands.
  if (h1.rows != h2.rows) fail(c, "sizeMismatch", "The dimensions of H1 ans H2 are not equal.\n");
  if (!kernel) fail(c, "badCode", "mcode should be either 1 or 2.\n");

  const int32_t N1 = h1.cols, N2 = h2.cols, d = h1.rows;
  double *D = createOutput(c, N1, N2, true);  // every kernel writes all of D
  const double *sums = mcode == 1 ? columnSums(c, N2, d, h2.data) : nullptr;
  if (mcode == 1 && !sums)
    // D, not yet handed over, is released by the host with the failed call.
    fail(c, "outOfMemory", "bindist: not enough memory for the column sums of H2.\n");
  forPairBlocks(c, D, N1, N2, d * kBinTermWork[mcode], d * sizeof(double), [&](const Block &b) {
    kernel(h1.data, h2.data, sums, D, N1, N2, d, b.i0, b.i1, b.j0, b.j1);
  });
}

}  // namespace

EXACTMEX_ENTRY(bindist)
