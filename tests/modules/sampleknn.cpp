// [D, I] = sampleknn(X1, X2, code, k): the nearest columns of the sample
// family's table.
#include "modules/description.h"

namespace test {

Description describe_sampleknn() {
  const Messages m = {"The number of input should be 4.\n",
                      "The number of output should not be larger than 2.\n",
                      "The pdm code should be from 1 to 3.\n",
                      "The sample dimensions of X1 and X2 are not the same.\n"};
  Description s =
      familyModule("sampleknn", true, "X1", "X2", "code", oracle::sample, oracle::sample, m);
  // In sampledist's order, then k.
  s.errors.insert(
      s.errors.end(),
      {{"nargin", 1, "3x2 3x2 1", m.inputs},
       {"nargout", 3, "3x2 3x2 1 1", m.outputs},
       {"badCode", 1, "3x2 4x2 4 0", m.code},
       {"sizeMismatch", 1, "3x2 4x2 1 0", m.rows},
       {"badK", 1, "3x2 3x2 1 0",
        "sampleknn: k must be a real numeric scalar holding a positive whole number.\n"}});
  s.workloads = {pairs("W6a sampleknn L1 k=10", 128, 100000, 10000, 1, 10)};
  for (int k : {10, 16, 100})
    s.workloads.push_back(
        pairs("K sampleknn L1 k=" + std::to_string(k), 128, 50000, 2000, 1, k, "K sampledist L1"));
  for (const Workload &w : inClasses(s, pairs("C sampleknn L1 k=10", 128, 50000, 2000, 1, 10),
                                     {mxDOUBLE_CLASS, mxSINGLE_CLASS, mxUINT8_CLASS}))
    s.workloads.push_back(w);
  return s;
}

}  // namespace test
