// Y = crossfuse(X, vrow, vcol, opcode): (vrow(j) + X(i,j)) + vcol(i) for
// opcode 1, (vrow(j) * X(i,j)) * vcol(i) for opcode 2, zeros otherwise.
#include "broadcast/crossfuse_kernels.h"
#include "gateway/gateway.h"

MEX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  const char *fn = "crossfuse";
  if (nlhs > 1) mexErrMsgTxt("The number of outputs should not be larger than 1\n");
  if (nrhs != 4) mexErrMsgTxt("The number of inputs should be 4: X, vrow, vcol, opcode\n");

  const gateway::Shape x = gateway::readMatrix(prhs[0], fn, "X");
  const gateway::Shape row = gateway::readMatrix(prhs[1], fn, "vrow");
  const gateway::Shape col = gateway::readMatrix(prhs[2], fn, "vcol");
  const int32_t opcode = gateway::readSelector(prhs[3], fn, "opcode");

  if (row.rows != 1 || row.cols != x.cols)
    mexErrMsgTxt("The size of the row vector is illegal, it should be 1 x n.\n");
  if (col.rows != x.rows || col.cols != 1)
    mexErrMsgTxt("The size of the column vector is illegal, it should be m x 1.\n");

  const double *X = mxGetPr(prhs[0]);
  const double *vrow = mxGetPr(prhs[1]);
  const double *vcol = mxGetPr(prhs[2]);
  mxArray *out = gateway::createOutputLike(prhs[0], opcode == 1 || opcode == 2);
  double *Y = mxGetPr(out);

  switch (opcode) {
    case 1: crossSum(X, vrow, vcol, Y, x.rows, x.cols); break;
    case 2: crossProduct(X, vrow, vcol, Y, x.rows, x.cols); break;
    default: break;  // no operation: the zeros Y was created with
  }
  plhs[0] = out;
}
