// Y = lanefuse(X, v, d, opcode): X combined with a column (d = 1) or a row
// (d = 2) vector v, element by element.
#include "modules/description.h"

namespace test {

namespace {

// X and v both double or both single; Y of their class.
const std::vector<mxClassID> kClasses = {mxDOUBLE_CLASS, mxSINGLE_CLASS};

Expected expect(const Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 4) return {};
  const mxArray *X = c.arg(0), *v = c.arg(1);
  const mxClassID cls = dataClass(c, {0, 1}, kClasses);
  if (!cls || !isSelector(c.arg(2)) || !isSelector(c.arg(3))) return {};
  const int64_t d = code(c.arg(2)), op = code(c.arg(3));
  const size_t m = mxGetM(X), n = mxGetN(X);
  const bool fits =
      d == 1 ? mxGetM(v) == m && mxGetN(v) == 1 : d == 2 && mxGetM(v) == 1 && mxGetN(v) == n;
  if (!fits) return {};
  const int kernel = op < 0 || op > 4 ? -1 : int(op);
  return computedIn(
      cls, m, n,
      [=](auto t) {
        using T = decltype(t);
        return oracle::lanefuse(dataOf<T>(X), dataOf<T>(v), int(d), kernel, m, n);
      },
      oracle::laneElement(kernel));
}

// X of m x n and v of m x 1 (d = 1) or 1 x n.
Workload add(const char *name, size_t m, size_t n, int d) {
  return {name,
          [=] {
            return arrays(randomMatrix(m, n, 1), randomMatrix(d == 1 ? m : 1, d == 1 ? 1 : n, 2),
                          scalar(d), scalar(1));
          },
          double(m) * n, double(m) * n * sizeof(double)};
}

}  // namespace

Description describe_lanefuse() {
  Description s;
  s.module = "lanefuse";
  s.args = {data("X", 2, 3, 100, 100), data("v", 2, 1, 100, 1), selector("d"), selector("opcode")};
  s.classes = kClasses;
  s.expect = expect;
  s.firstCode = -1;
  s.lastCode = 5;
  // The counts first, outputs before inputs; then X and v, each of a class
  // taken, then of one class; d and opcode, the shape of v.
  const char *outputs = "The number of outputs should not be larger than 1\n";
  const char *inputs = "The number of inputs should be 4: X, v, d, opcode\n";
  const char *d = "The value of d is illegal, it should be either 1 or 2\n";
  const char *size = "The size of vector v is illegal\n";
  s.errors = {
      {"nargout", 2, "2x2 2x1 1 1", outputs},
      {"nargout", 2, "2x2", outputs},
      {"nargin", 1, "2x2", inputs},
      {"nargin", 1, "2x2 2x1 1 1 1", inputs},
      {"nargin", 0, "2x2 2x1 1", inputs},
      {"nargin", 1, "", inputs},
      {"nargin", 1, "1 1 1", inputs},
      {"inputClass", 1, "int32:2x2 2x1 1 1", "lanefuse: X must be a real, full double array.\n"},
      {"inputClass", 1, "single:2x2 uint8:2x1 1 1",
       "lanefuse: v must be a real, full double array.\n"},
      {"classMismatch", 1, "single:2x2 2x1 1 1",
       "lanefuse: X (single) and v (double) must be of the same class.\n"},
      {"classMismatch", 1, "2x2 single:3x3 cell:1x1 1",
       "lanefuse: X (double) and v (single) must be of the same class.\n"},
      {"tooLarge", 1, "huge 2x1 1 1",
       "lanefuse: X has more than 2147483647 rows, columns or elements.\n"},
      {"selectorClass", 1, "2x2 2x1 cell:1x1 1",
       "lanefuse: d must be a numeric, logical or char value.\n"},
      {"sizeMismatch", 0, "3x2 1x3 1 1", size},  // right length, wrong way
  };
  // An illegal d is reported whatever the shape of v; d is truncated.
  for (const char *bad : {"2x2 2x1 3 1", "1 1x3 3 1", "1 1 0x0 1", "3x2 3x1 0 1", "3x2 3x1 NaN 1",
                          "3x2 3x1 -1 1", "3x2 3x1 1e10 1", "3x2 3x1 0.9 1", "3x2 5x5 0 1"})
    s.errors.push_back({"badCode", 1, bad, d});
  for (const char *bad :
       {"2x2 3x1 1 1", "3x2 3x1 2 1", "1x3 1x1 2 1", "3x1 1x1 1 1", "0x4 1x1 1 1"})
    s.errors.push_back({"sizeMismatch", 1, bad, size});
  s.workloads = {add("W1 lanefuse add d=1", 4096, 4096, 1),
                 add("W1 lanefuse add d=2", 4096, 4096, 2),
                 // A call that stays on the calling thread.
                 add("S lanefuse add 64x64", 64, 64, 1)};
  for (int d : {1, 2})
    for (const Workload &w :
         inClasses(s, add(d == 1 ? "C lanefuse add d=1" : "C lanefuse add d=2", 4096, 4096, d),
                   {mxDOUBLE_CLASS, mxSINGLE_CLASS}))
      s.workloads.push_back(w);
  return s;
}

}  // namespace test
