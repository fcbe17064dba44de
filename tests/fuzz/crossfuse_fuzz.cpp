// Fuzz target of crossfuse: Y = crossfuse(X, vrow, vcol, opcode).
#include "fuzz/harness.h"
#include "support/oracles.h"

namespace {

fuzz::Expected expect(const fuzz::Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 4) return {};
  const mxArray *X = c.arg(0), *vrow = c.arg(1), *vcol = c.arg(2);
  if (!fuzz::isData(X) || !fuzz::isData(vrow) || !fuzz::isData(vcol) || !fuzz::isSelector(c.arg(3)))
    return {};
  const size_t m = mxGetM(X), n = mxGetN(X);
  if (mxGetM(vrow) != 1 || mxGetN(vrow) != n || mxGetM(vcol) != m || mxGetN(vcol) != 1) return {};
  const int64_t op = fuzz::code(c.arg(3));
  return {true, m, n, [=] {
            return oracle::crossfuse(mxGetPr(X), mxGetPr(vrow), mxGetPr(vcol),
                                     op == 1 || op == 2 ? int(op) : 0, m, n);
          }};
}

}  // namespace

const fuzz::Target &fuzz::target() {
  static const Target t{"crossfuse",
                        {"The number of outputs should not be larger than 1\n",
                         "The number of inputs should be 4: X, vrow, vcol, opcode\n",
                         "The size of the row vector is illegal, it should be 1 x n.\n",
                         "The size of the column vector is illegal, it should be m x 1.\n"},
                        expect,
                        -1,
                        3};
  return t;
}
