// Y = meshapply(x, y, opcode): x(i) op y(j) for every pair of elements.
#include "modules/description.h"

namespace test {

namespace {

// x and y both double or both single; Y of their class.
const std::vector<mxClassID> kClasses = {mxDOUBLE_CLASS, mxSINGLE_CLASS};

Expected expect(const Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 3) return {};
  const mxArray *x = c.arg(0), *y = c.arg(1);
  const mxClassID cls = dataClass(c, {0, 1}, kClasses);
  if (!cls || !isSelector(c.arg(2))) return {};
  const int64_t op = code(c.arg(2));
  const size_t m = mxGetNumberOfElements(x), n = mxGetNumberOfElements(y);
  if (op < 1 || op > 5 || !addressable(m, n)) return {};
  return computedIn(
      cls, m, n,
      [=](auto t) {
        using T = decltype(t);
        return oracle::meshapply(dataOf<T>(x), m, dataOf<T>(y), n, int(op));
      },
      oracle::meshElement(int(op)));
}

// A column of m against a row of n.
Workload mesh(const std::string &name, size_t m, size_t n, int op) {
  return {name, [=] { return arrays(randomMatrix(m, 1, 1), randomMatrix(1, n, 2), scalar(op)); },
          double(m) * n, double(m) * n * sizeof(double)};
}

}  // namespace

Description describe_meshapply() {
  Description s;
  s.module = "meshapply";
  s.args = {data("x", 2, 3, 100, 1), data("y", 1, 4, 1, 100), selector("opcode")};
  s.classes = kClasses;
  s.expect = expect;
  s.lastCode = 6;
  // The inputs first, then the outputs, then the opcode, then x and y, each
  // of a class taken, then of one class.
  const char *inputs = "The number of input arguments should be 3.\n";
  const char *outputs = "The number of output arguments should not exceed 1.\n";
  const char *opcode = "The opcode should be between 1 and 5.\n";
  s.errors = {
      {"nargin", 1, "1x2", inputs},
      {"nargin", 2, "1x2 1x2 9 9", inputs},
      {"nargin", 0, "1x2 1x2", inputs},
      {"nargout", 2, "1x2 1x2 1", outputs},
      {"nargout", 2, "1x2 1x2 9", outputs},
      {"selectorClass", 1, "1x2 1x2 struct:1x1",
       "meshapply: opcode must be a numeric, logical or char value.\n"},
      {"badCode", 1, "single:1x2 1x2 9", opcode},
      {"inputClass", 1, "uint8:1x2 uint8:1x2 1",
       "meshapply: x must be a real, full double array.\n"},
      {"classMismatch", 1, "single:1x2 1x2 1",
       "meshapply: x (single) and y (double) must be of the same class.\n"},
  };
  for (const char *bad :
       {"1x2 1x2 6", "1x2 1x2 9", "1 2 0.7", "1 2 -1", "1 2 -0.5", "1 2 NaN", "1 2 3e9", "1 2 0x0"})
    s.errors.push_back({"badCode", 1, bad, opcode});
  s.workloads = {mesh("W3 meshapply sum", 4096, 4096, 1),
                 mesh("W3 meshapply absdiff", 4096, 4096, 3)};
  for (auto [name, op] :
       {std::pair<const char *, int>{"C meshapply sum", 1}, {"C meshapply absdiff", 3}})
    for (const Workload &w :
         inClasses(s, mesh(name, 4096, 4096, op), {mxDOUBLE_CLASS, mxSINGLE_CLASS}))
      s.workloads.push_back(w);
  s.shapes = sweep("shape meshapply sum d=1", 4000, {1, 25, -25, 400},
                   [](const std::string &name, size_t m, size_t n) { return mesh(name, m, n, 1); });
  return s;
}

}  // namespace test
