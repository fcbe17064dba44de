// [D, I] = binknn(H1, H2, mcode, k): for every histogram column j of H2
// (d-by-N2), the min(k, N1) columns of H1 (d-by-N1) nearest to it by
// bindist's distance of the same mcode, nearest first: D(:, j) their
// distances, I(:, j) their column numbers. The table of all distances is
// never made.
#include "gateway/gateway.h"
#include "pairwise/binknn_kernels.h"
#include "pairwise/histograms.h"
#include "pairwise/nearest_outputs.h"

namespace {

void binknn(const gateway::Call &c) {
  using namespace gateway;
  if (c.nrhs != 4) fail(c, "nargin", "binknn uses 4 input arguments.\n");
  if (c.nlhs > 2) fail(c, "nargout", "Too many output arguments for binknn.\n");

  const Input h1 = readMatrix(c, 0, "H1");
  const Input h2 = readMatrix(c, 1, "H2");
  const int32_t mcode = readSelector(c, 2, "mcode");
  const BinKnnKernel kernel = binknnKernels().at(mcode);
  // Worded as bindist's.
  if (h1.rows != h2.rows) fail(c, "sizeMismatch", "The dimensions of H1 ans H2 are not equal.\n");
  if (!kernel) fail(c, "badCode", "mcode should be either 1 or 2.\n");
  const double k = readCount(c, 3, "k");

  const int32_t N1 = h1.cols, N2 = h2.cols, d = h1.rows;
  NearestOutputs out = createNearest(c, k, N1, N2, false);
  if (out.kk == 0 || N2 == 0) return;
  const double *sums = mcode == 1 ? columnSums(c, N2, d, h2.data) : nullptr;
  if (mcode == 1 && !sums)
    fail(c, "outOfMemory", "binknn: not enough memory for the column sums of H2.\n");
  forQueryColumns(c, N1, N2, d * kBinTermWork[mcode], d * sizeof(double),
                  [&](int32_t j0, int32_t j1) {
                    kernel(h1.data, h2.data, sums, out.D, out.I, N1, d, out.kk, j0, j1);
                  });
}

}  // namespace

EXACTMEX_ENTRY(binknn)
