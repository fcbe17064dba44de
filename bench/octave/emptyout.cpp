// Y = emptyout(X) returns an uninitialised double matrix of the size of X
// and does nothing else; Y = emptyout(X, 1) also fills it with zeros, after
// advising it for huge pages as the modules do. Timed from Octave they give
// the host's own cost of handing back an output of that size, untouched or
// written once: the floors a module's call cannot go below.
#include <cstring>

#include "gateway/huge_pages.h"
#include "mex.h"

void mexFunction(int, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  const size_t m = mxGetM(prhs[0]), n = mxGetN(prhs[0]), bytes = m * n * sizeof(double);
  plhs[0] = mxCreateUninitNumericMatrix(m, n, mxDOUBLE_CLASS, mxREAL);
  if (nrhs > 1) {
    gateway::adviseHugePages(mxGetData(plhs[0]), bytes);
    std::memset(mxGetData(plhs[0]), 0, bytes);
  }
}
