// D = sampledist(X1, X2, code): the sample family's table.
#include "modules/description.h"

namespace test {

Description describe_sampledist() {
  const Messages m = {"The number of input should be 3.\n",
                      "The number of output should not be larger than 1.\n",
                      "The pdm code should be from 1 to 3.\n",
                      "The sample dimensions of X1 and X2 are not the same.\n"};
  Description s =
      familyModule("sampledist", false, "X1", "X2", "code", oracle::sample, oracle::sample, m);
  // The counts first, the inputs before the outputs; then the code, then
  // the rows.
  s.errors.insert(s.errors.end(), {{"nargin", 1, "3x2 4x2 4 4", m.inputs},
                                   {"nargin", 2, "3x2 4x2 4 4", m.inputs},
                                   {"nargin", 0, "3x2 4x2", m.inputs},
                                   {"nargout", 2, "3x2 4x2 4", m.outputs},
                                   {"badCode", 1, "3x2 4x2 4", m.code},
                                   {"badCode", 1, "2x1 2x1 0.5", m.code},
                                   {"badCode", 1, "2x1 2x1 -0.9", m.code},
                                   {"sizeMismatch", 1, "3x2 4x2 1", m.rows}});
  s.workloads = {pairs("W4a sampledist L1", 128, 2000, 2000, 1),
                 pairs("W4a sampledist Linf", 128, 2000, 2000, 2),
                 pairs("W4b sampledist L1", 3, 4000, 4000, 1),
                 pairs("S sampledist L1 64x64", 64, 64, 64, 1),
                 pairs("K sampledist L1", 128, 50000, 2000, 1)};
  // The classes on the square and on its tall and wide shapes.
  std::vector<Workload> classes = {pairs("C sampledist L1", 128, 4096, 4096, 1)};
  for (const Workload &w : pairShapes("C shape sampledist L1", 128, 1, 2000, {1, 25, -25}))
    classes.push_back(w);
  for (const Workload &w : classes)
    for (const Workload &c : inClasses(s, w, {mxDOUBLE_CLASS, mxSINGLE_CLASS, mxUINT8_CLASS}))
      s.workloads.push_back(c);
  s.shapes = pairShapes("shape sampledist L1", 3, 1, 4000, {1, 25, -25, 400});
  for (auto [d, side] : {std::pair<size_t, size_t>{16, 3000}, {128, 2000}, {1000, 1500}})
    for (const Workload &w : pairShapes("shape sampledist L1", d, 1, side, {1, 25, -25}))
      s.shapes.push_back(w);
  return s;
}

}  // namespace test
