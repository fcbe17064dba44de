// [D, I] = binknn(H1, H2, mcode, k): the nearest columns of the histogram
// family's table.
#include "modules/description.h"

namespace test {

Description describe_binknn() {
  const Messages m = {"binknn uses 4 input arguments.\n", "Too many output arguments for binknn.\n",
                      "mcode should be either 1 or 2.\n",
                      "The dimensions of H1 ans H2 are not equal.\n"};
  Description s = familyModule("binknn", true, "H1", "H2", "mcode", oracle::bin, oracle::bin, m);
  // In bindist's order, then k.
  s.errors.insert(s.errors.end(),
                  {{"nargin", 3, "3x2 3x2 1", m.inputs},
                   {"nargout", 3, "3x2 3x2 1 1", m.outputs},
                   {"sizeMismatch", 1, "3x2 4x2 4 0", m.rows},
                   {"badCode", 1, "3x2 3x2 4 0", m.code},
                   {"badK", 1, "3x2 3x2 1 0",
                    "binknn: k must be a real numeric scalar holding a positive whole number.\n"}});
  s.workloads = {pairs("W6b binknn chi2 k=5", 64, 50000, 5000, 2, 5),
                 pairs("K binknn chi2 k=5", 64, 50000, 1000, 2, 5, "K bindist chi2")};
  for (auto [name, code] :
       {std::pair<const char *, int>{"C binknn intersection k=5", 1}, {"C binknn chi2 k=5", 2}})
    for (const Workload &w :
         inClasses(s, pairs(name, 64, 50000, 1000, code, 5), {mxDOUBLE_CLASS, mxSINGLE_CLASS}))
      s.workloads.push_back(w);
  return s;
}

}  // namespace test
