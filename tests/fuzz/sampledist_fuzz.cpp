// Fuzz target of sampledist: D = sampledist(X1, X2, code).
#include "fuzz/harness.h"
#include "support/oracles.h"

namespace {

fuzz::Expected expect(const fuzz::Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 3) return {};
  const mxArray *X1 = c.arg(0), *X2 = c.arg(1);
  if (!fuzz::isData(X1) || !fuzz::isData(X2) || !fuzz::isSelector(c.arg(2))) return {};
  const int64_t code = fuzz::code(c.arg(2));
  const size_t d = mxGetM(X1), n1 = mxGetN(X1), n2 = mxGetN(X2);
  if (code < 1 || code > 3 || mxGetM(X2) != d) return {};
  return {true, n1, n2,
          [=] { return oracle::sampledist(mxGetPr(X1), n1, mxGetPr(X2), n2, d, int(code)); }};
}

}  // namespace

const fuzz::Target &fuzz::target() {
  static const Target t{
      "sampledist",
      {"The number of input should be 3.\n", "The number of output should not be larger than 1.\n",
       "The pdm code should be from 1 to 3.\n",
       "The sample dimensions of X1 and X2 are not the same.\n"},
      expect,
      0,
      4};
  return t;
}
