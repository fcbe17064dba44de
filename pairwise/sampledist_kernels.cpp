#include "pairwise/sampledist_kernels.h"

#include <cmath>

namespace {

// Every pair of columns, the column of X1 fastest. Columns advance by
// pointer, so no offset passes through 32-bit values.
template <typename Step>
void distances(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2, int32_t d,
               Step step) {
  for (int32_t j = 0; j < N2; ++j, X2 += d) {
    const double *a = X1;
    for (int32_t i = 0; i < N1; ++i, a += d) {
      double r = std::fabs(a[0] - X2[0]);
      for (int32_t k = 1; k < d; ++k) r = step(r, std::fabs(a[k] - X2[k]));
      *D++ = r;
    }
  }
}

}  // namespace

void sumAbsDifference(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                      int32_t d) {
  distances(X1, X2, D, N1, N2, d, [](double r, double t) { return r + t; });
}

void maxAbsDifference(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                      int32_t d) {
  distances(X1, X2, D, N1, N2, d, [](double r, double t) { return t > r ? t : r; });
}

void minAbsDifference(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                      int32_t d) {
  distances(X1, X2, D, N1, N2, d, [](double r, double t) { return t < r ? t : r; });
}
