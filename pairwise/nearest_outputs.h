// The outputs of the nearest-column modules (sampleknn, binknn): D, the kk
// smallest distances of every query column, in slot 0, and I, their column
// numbers, in slot 1; kk = min(k, N1). Called with one output or none, the
// module still needs I's storage while it works: the call then keeps I in
// its scratch memory.
#ifndef EXACTMEX_NEAREST_OUTPUTS_H
#define EXACTMEX_NEAREST_OUTPUTS_H

#include <cstdio>

#include "gateway/call.h"

struct NearestOutputs {
  int32_t kk;
  double *D, *I;
};

// With every row of D 0 and I counting 1 to kk in each column when
// `rowsInOrder` (distances of no terms all tie), otherwise as the kernel
// leaves them.
inline NearestOutputs createNearest(const gateway::Call &c, double k, int32_t N1, int32_t N2,
                                    bool rowsInOrder) {
  using namespace gateway;
  NearestOutputs o;
  o.kk = k < N1 ? static_cast<int32_t>(k) : N1;
  o.D = createOutput(c, o.kk, N2, !rowsInOrder);
  if (c.nlhs >= 2) {
    o.I = createOutput(c, o.kk, N2, rowsInOrder, 1);
  } else {
    o.I = static_cast<double *>(scratch(c, size_t(o.kk) * size_t(N2) + 1, sizeof(double)));
    if (!o.I) {
      char message[96];
      std::snprintf(message, sizeof message, "%s: not enough memory for the output.\n", c.fn);
      fail(c, "outOfMemory", message);
    }
  }
  if (rowsInOrder)
    for (size_t e = 0; e < size_t(o.kk) * size_t(N2); ++e) o.I[e] = double(e % o.kk + 1);
  return o;
}

#endif
