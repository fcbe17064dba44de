// D = bindist(H1, H2, mcode): the histogram family's table.
#include "modules/description.h"

namespace test {

Description describe_bindist() {
  const Messages m = {
      "bindist uses 3 input arguments.\n", "Too many output arguments for bindist.\n",
      "mcode should be either 1 or 2.\n", "The dimensions of H1 ans H2 are not equal.\n"};
  Description s = familyModule("bindist", false, "H1", "H2", "mcode", oracle::bin, oracle::bin, m);
  // The inputs before the outputs; then the rows, then mcode.
  s.errors.insert(s.errors.end(), {{"nargin", 1, "3x2 4x2", m.inputs},
                                   {"nargin", 2, "3x2 4x2", m.inputs},
                                   {"nargin", 2, "3x2 4x2 1 1", m.inputs},
                                   {"nargout", 2, "3x2 3x2 1", m.outputs},
                                   {"sizeMismatch", 1, "3x2 4x2 9", m.rows},
                                   {"sizeMismatch", 1, "3x1 4x1 7", m.rows},
                                   {"badCode", 1, "3x2 3x2 9", m.code}});
  for (const char *bad : {"1 1 0.99", "1 1 4", "1 1 -1", "2x1 2x1 1e11"})
    s.errors.push_back({"badCode", 1, bad, m.code});
  s.workloads = {
      pairs("W5 bindist intersection", 256, 1000, 1000, 1),
      pairs("W5 bindist chi2", 256, 1000, 1000, 2), pairs("W5 bindist log", 256, 300, 300, 3),
      pairs("S bindist chi2 64x64", 64, 64, 64, 2), pairs("K bindist chi2", 64, 50000, 1000, 2)};
  for (auto [name, code] :
       {std::pair<const char *, int>{"C bindist intersection", 1}, {"C bindist chi2", 2}})
    for (const Workload &w :
         inClasses(s, pairs(name, 256, 1000, 1000, code), {mxDOUBLE_CLASS, mxSINGLE_CLASS}))
      s.workloads.push_back(w);
  s.shapes = pairShapes("shape bindist intersection", 128, 1, 2000, {1, 25, -25});
  return s;
}

}  // namespace test
