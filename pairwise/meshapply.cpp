// Y = meshapply(x, y, opcode): the numel(x)-by-numel(y) table of x(i) op y(j)
// for sum (1), product (2), absolute difference (3), max (4) or min (5). The
// shapes of x and y do not matter, only their elements in linear order.
#include "gateway/gateway.h"
#include "pairwise/meshapply_kernels.h"

MEX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  const char *fn = "meshapply";
  if (nrhs != 3) mexErrMsgTxt("The number of input arguments should be 3.\n");
  if (nlhs > 1) mexErrMsgTxt("The number of output arguments should not exceed 1.\n");

  const int32_t opcode = gateway::readSelector(prhs[2], fn, "opcode");
  if (opcode < 1 || opcode > 5) mexErrMsgTxt("The opcode should be between 1 and 5.\n");

  const int32_t m = gateway::readMatrix(prhs[0], fn, "x").count;
  const int32_t n = gateway::readMatrix(prhs[1], fn, "y").count;
  mxArray *out = gateway::createOutput(fn, m, n, true);  // every opcode left writes every element
  const double *x = mxGetPr(prhs[0]);
  const double *y = mxGetPr(prhs[1]);
  double *Y = mxGetPr(out);

  switch (opcode) {
    case 1: meshSum(x, y, Y, m, n); break;
    case 2: meshProduct(x, y, Y, m, n); break;
    case 3: meshAbsDifference(x, y, Y, m, n); break;
    case 4: meshMax(x, y, Y, m, n); break;
    default: meshMin(x, y, Y, m, n); break;
  }
  plhs[0] = out;
}
