// D = sampledist(X1, X2, code): for every column i of X1 (d-by-N1) and column
// j of X2 (d-by-N2), the sum (1), largest (2) or smallest (3) of the absolute
// differences of their elements, as the N1-by-N2 matrix D.
#include "gateway/gateway.h"
#include "pairwise/sampledist_kernels.h"

MEX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  const char *fn = "sampledist";
  if (nrhs != 3) mexErrMsgTxt("The number of input should be 3.\n");
  if (nlhs > 1) mexErrMsgTxt("The number of output should not be larger than 1.\n");

  const int32_t code = gateway::readSelector(prhs[2], fn, "code");
  if (code < 1 || code > 3) mexErrMsgTxt("The pdm code should be from 1 to 3.\n");

  const gateway::Shape x1 = gateway::readMatrix(prhs[0], fn, "X1");
  const gateway::Shape x2 = gateway::readMatrix(prhs[1], fn, "X2");
  if (x1.rows != x2.rows) mexErrMsgTxt("The sample dimensions of X1 and X2 are not the same.\n");

  mxArray *out = gateway::createOutput(fn, x1.cols, x2.cols, x1.rows > 0);
  const double *X1 = mxGetPr(prhs[0]);
  const double *X2 = mxGetPr(prhs[1]);
  double *D = mxGetPr(out);

  // Without rows no pair has a first term to start from: D keeps its zeros.
  if (x1.rows > 0) {
    switch (code) {
      case 1: sumAbsDifference(X1, X2, D, x1.cols, x2.cols, x1.rows); break;
      case 2: maxAbsDifference(X1, X2, D, x1.cols, x2.cols, x1.rows); break;
      default: minAbsDifference(X1, X2, D, x1.cols, x2.cols, x1.rows); break;
    }
  }
  plhs[0] = out;
}
