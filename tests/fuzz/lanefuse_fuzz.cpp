// Fuzz target of lanefuse: Y = lanefuse(X, v, d, opcode).
#include "fuzz/harness.h"
#include "support/oracles.h"

namespace {

fuzz::Expected expect(const fuzz::Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 4) return {};
  const mxArray *X = c.arg(0), *v = c.arg(1);
  if (!fuzz::isData(X) || !fuzz::isData(v) || !fuzz::isSelector(c.arg(2)) ||
      !fuzz::isSelector(c.arg(3)))
    return {};
  const int64_t d = fuzz::code(c.arg(2)), op = fuzz::code(c.arg(3));
  const size_t m = mxGetM(X), n = mxGetN(X);
  const bool fits =
      d == 1 ? mxGetM(v) == m && mxGetN(v) == 1 : d == 2 && mxGetM(v) == 1 && mxGetN(v) == n;
  if (!fits) return {};
  const int kernel = op < 0 || op > 4 ? -1 : int(op);
  return {true, m, n,
          [=] { return oracle::lanefuse(mxGetPr(X), mxGetPr(v), int(d), kernel, m, n); },
          oracle::laneElement(kernel)};
}

}  // namespace

const fuzz::Target &fuzz::target() {
  static const Target t{
      "lanefuse",
      {"The number of outputs should not be larger than 1\n",
       "The number of inputs should be 4: X, v, d, opcode\n", "The size of vector v is illegal\n",
       "The value of d is illegal, it should be either 1 or 2\n"},
      expect,
      -1,
      5};
  return t;
}
