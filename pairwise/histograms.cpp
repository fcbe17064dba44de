#include <cstddef>

#include "pairwise/bin_family.h"

double *columnSums(const gateway::Call &c, int32_t n, int32_t d, const double *H) {
  double *sums = static_cast<double *>(gateway::scratch(c, size_t(n), sizeof(double)));
  for (int32_t j = 0; sums && j < n; ++j) {
    double s = 0.0;
    for (int32_t k = 0; k < d; ++k) s += H[ptrdiff_t(j) * d + k];
    sums[j] = s;
  }
  return sums;
}
