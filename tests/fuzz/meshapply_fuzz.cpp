// Fuzz target of meshapply: Y = meshapply(x, y, opcode).
#include "fuzz/harness.h"
#include "support/oracles.h"

namespace {

fuzz::Expected expect(const fuzz::Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 3) return {};
  const mxArray *x = c.arg(0), *y = c.arg(1);
  if (!fuzz::isData(x) || !fuzz::isData(y) || !fuzz::isSelector(c.arg(2))) return {};
  const int64_t op = fuzz::code(c.arg(2));
  if (op < 1 || op > 5) return {};
  const size_t m = mxGetNumberOfElements(x), n = mxGetNumberOfElements(y);
  return {true, m, n, [=] { return oracle::meshapply(mxGetPr(x), m, mxGetPr(y), n, int(op)); },
          oracle::meshElement(int(op))};
}

}  // namespace

const fuzz::Target &fuzz::target() {
  static const Target t{"meshapply",
                        {"The number of input arguments should be 3.\n",
                         "The number of output arguments should not exceed 1.\n",
                         "The opcode should be between 1 and 5.\n"},
                        expect,
                        0,
                        6};
  return t;
}
