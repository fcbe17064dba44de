#include <cstddef>
#include <new>

#include "pairwise/bin_family.h"

double *columnSums(int32_t n, int32_t d, const double *H) {
  double *sums = new (std::nothrow) double[static_cast<size_t>(n)];
  for (int32_t j = 0; sums && j < n; ++j) {
    double s = 0.0;
    for (int32_t k = 0; k < d; ++k) s += H[ptrdiff_t(j) * d + k];
    sums[j] = s;
  }
  return sums;
}
