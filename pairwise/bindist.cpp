// D = bindist(H1, H2, mcode): for every histogram column i of H1 (d-by-N1)
// and column j of H2 (d-by-N2), the intersection distance normalised by the
// total of column j (1), the chi-square distance (2) or the logarithmic
// divergence (3), as the N1-by-N2 matrix D.
#include "gateway/gateway.h"
#include "pairwise/bindist_kernels.h"

MEX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  const char *fn = "bindist";
  if (nrhs != 3) mexErrMsgTxt("bindist uses 3 input arguments.\n");
  if (nlhs > 1) mexErrMsgTxt("Too many output arguments for bindist.\n");

  const gateway::Shape h1 = gateway::readMatrix(prhs[0], fn, "H1");
  const gateway::Shape h2 = gateway::readMatrix(prhs[1], fn, "H2");
  const int32_t mcode = gateway::readSelector(prhs[2], fn, "mcode");
  // The wording of both messages is relied on by callers as it stands.
  if (h1.rows != h2.rows) mexErrMsgTxt("The dimensions of H1 ans H2 are not equal.\n");
  if (mcode < 1 || mcode > 3) mexErrMsgTxt("mcode should be either 1 or 2.\n");

  mxArray *out = gateway::createOutput(fn, h1.cols, h2.cols, true);  // every kernel writes all of D
  const double *H1 = mxGetPr(prhs[0]);
  const double *H2 = mxGetPr(prhs[1]);
  double *D = mxGetPr(out);

  if (mcode == 1) {
    // The kernel has released everything it allocated; D, never stored, is
    // released by the host with the failed call.
    if (!intersectionDistance(h1.cols, h2.cols, h1.rows, H1, H2, D))
      mexErrMsgTxt("bindist: not enough memory for the column sums of H2.\n");
  } else if (mcode == 2) {
    chiSquareDistance(h1.cols, h2.cols, h1.rows, H1, H2, D);
  } else {
    logDivergence(h1.cols, h2.cols, h1.rows, H1, H2, D);
  }
  plhs[0] = out;
}
