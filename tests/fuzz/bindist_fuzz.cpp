// Fuzz target of bindist: D = bindist(H1, H2, mcode).
#include "fuzz/harness.h"
#include "support/oracles.h"

namespace {

fuzz::Expected expect(const fuzz::Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 3) return {};
  const mxArray *H1 = c.arg(0), *H2 = c.arg(1);
  if (!fuzz::isData(H1) || !fuzz::isData(H2) || !fuzz::isSelector(c.arg(2))) return {};
  const int64_t mcode = fuzz::code(c.arg(2));
  const size_t d = mxGetM(H1), n1 = mxGetN(H1), n2 = mxGetN(H2);
  if (mcode < 1 || mcode > 3 || mxGetM(H2) != d) return {};
  return {true, n1, n2,
          [=] { return oracle::bindist(mxGetPr(H1), n1, mxGetPr(H2), n2, d, int(mcode)); }};
}

}  // namespace

const fuzz::Target &fuzz::target() {
  static const Target t{
      "bindist",
      {"bindist uses 3 input arguments.\n", "Too many output arguments for bindist.\n",
       "The dimensions of H1 ans H2 are not equal.\n", "mcode should be either 1 or 2.\n"},
      expect,
      0,
      4};
  return t;
}
