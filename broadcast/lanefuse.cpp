// Y = lanefuse(X, v, d, opcode): X combined with a column (d = 1) or row
// (d = 2) vector v by copy (0), add (1), multiply (2), max (3) or min (4).
// Any other opcode returns zeros of the size of X.
#include "broadcast/lanefuse_kernels.h"
#include "gateway/gateway.h"

MEX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  const char *fn = "lanefuse";
  if (nlhs > 1) mexErrMsgTxt("The number of outputs should not be larger than 1\n");
  if (nrhs != 4) mexErrMsgTxt("The number of inputs should be 4: X, v, d, opcode\n");

  const gateway::Shape x = gateway::readMatrix(prhs[0], fn, "X");
  const gateway::Shape v = gateway::readMatrix(prhs[1], fn, "v");
  const int32_t d = gateway::readSelector(prhs[2], fn, "d");
  const int32_t opcode = gateway::readSelector(prhs[3], fn, "opcode");

  if (d == 1) {
    if (v.rows != x.rows || v.cols != 1) mexErrMsgTxt("The size of vector v is illegal\n");
  } else if (d == 2) {
    if (v.rows != 1 || v.cols != x.cols) mexErrMsgTxt("The size of vector v is illegal\n");
  } else {
    mexErrMsgTxt("The value of d is illegal, it should be either 1 or 2\n");
  }

  const double *X = mxGetPr(prhs[0]);
  const double *vec = mxGetPr(prhs[1]);
  mxArray *out = gateway::createOutputLike(prhs[0], opcode >= 0 && opcode <= 4);
  double *Y = mxGetPr(out);

  switch (opcode) {
    case 0: laneCopy(d, X, vec, Y, x.rows, x.cols); break;
    case 1: laneAdd(d, X, vec, Y, x.rows, x.cols); break;
    case 2: laneMultiply(d, X, vec, Y, x.rows, x.cols); break;
    case 3: laneMax(d, X, vec, Y, x.rows, x.cols); break;
    case 4: laneMin(d, X, vec, Y, x.rows, x.cols); break;
    default: break;  // no operation: the zeros Y was created with
  }
  plhs[0] = out;
}
