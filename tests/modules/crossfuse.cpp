// Y = crossfuse(X, vrow, vcol, opcode): X combined with a row and a column
// vector at once.
#include "modules/description.h"

namespace test {

namespace {

// X and the vectors all double or all single; Y of their class.
const std::vector<mxClassID> kClasses = {mxDOUBLE_CLASS, mxSINGLE_CLASS};

Expected expect(const Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 4) return {};
  const mxArray *X = c.arg(0), *vrow = c.arg(1), *vcol = c.arg(2);
  const mxClassID cls = dataClass(c, {0, 1, 2}, kClasses);
  if (!cls || !isSelector(c.arg(3))) return {};
  const size_t m = mxGetM(X), n = mxGetN(X);
  if (mxGetM(vrow) != 1 || mxGetN(vrow) != n || mxGetM(vcol) != m || mxGetN(vcol) != 1) return {};
  const int64_t op = code(c.arg(3));
  return computedIn(cls, m, n, [=](auto t) {
    using T = decltype(t);
    return oracle::crossfuse(dataOf<T>(X), dataOf<T>(vrow), dataOf<T>(vcol),
                             op == 1 || op == 2 ? int(op) : 0, m, n);
  });
}

}  // namespace

Description describe_crossfuse() {
  Description s;
  s.module = "crossfuse";
  s.args = {data("X", 2, 3, 100, 100), data("vrow", 1, 3, 1, 100), data("vcol", 2, 1, 100, 1),
            selector("opcode")};
  s.classes = kClasses;
  s.expect = expect;
  s.firstCode = -1;
  s.lastCode = 3;
  // The counts first, outputs before inputs; the data, each of a class taken,
  // then of one class; the row vector before the column.
  const char *outputs = "The number of outputs should not be larger than 1\n";
  const char *inputs = "The number of inputs should be 4: X, vrow, vcol, opcode\n";
  const char *row = "The size of the row vector is illegal, it should be 1 x n.\n";
  const char *column = "The size of the column vector is illegal, it should be m x 1.\n";
  s.errors = {
      {"nargout", 2, "", outputs},
      {"nargout", 3, "", outputs},
      {"nargout", 2, "1x1 1x1 1x1 1", outputs},
      {"nargin", 1, "2x2", inputs},
      {"nargin", 1, "1x1 1x1 1", inputs},
      {"nargin", 0, "1x1 1x1 1x1 1 1", inputs},
      {"inputClass", 1, "single:2x2 single:1x2 int16:2x1 1",
       "crossfuse: vcol must be a real, full double array.\n"},
      {"classMismatch", 1, "2x2 single:1x2 single:2x1 1",
       "crossfuse: X (double) and vrow (single) must be of the same class.\n"},
      {"classMismatch", 1, "single:2x2 single:1x2 2x1 1",
       "crossfuse: X (single) and vcol (double) must be of the same class.\n"},
      {"classMismatch", 1, "single:2x2 5x5 5x5 cell:1x1",
       "crossfuse: X (single) and vrow (double) must be of the same class.\n"},
      {"sizeMismatch", 1, "2x2 1x3 2x1 1", row},
      {"sizeMismatch", 1, "2x3 3x1 2x1 1", row},
      {"sizeMismatch", 1, "2x3 3x1 1x2 1", row},
      {"sizeMismatch", 1, "1x1 1x2 1x1 1", row},
      {"sizeMismatch", 0, "2x3 1x3 1x2 1", column},
      {"sizeMismatch", 1, "2x3 1x3 1x2 7", column},  // checked whatever the opcode
  };
  s.workloads = {{"W2 crossfuse sum",
                  [] {
                    return arrays(randomMatrix(4096, 4096, 1), randomMatrix(1, 4096, 2),
                                  randomMatrix(4096, 1, 3), scalar(1));
                  },
                  4096.0 * 4096, 4096.0 * 4096 * sizeof(double)}};
  Workload sum = s.workloads[0];
  sum.name = "C crossfuse sum";
  for (const Workload &w : inClasses(s, sum, {mxDOUBLE_CLASS, mxSINGLE_CLASS}))
    s.workloads.push_back(w);
  return s;
}

}  // namespace test
