#include "pairwise/bindist_kernels.h"

#include <cmath>
#include <cstddef>
#include <new>

namespace {

// Every pair of columns, the column of H1 fastest: the sum of term(a, b) over
// the bins, handed to finish with the column of H2. Columns advance by
// pointer, so no offset passes through 32-bit values.
template <typename Term, typename Finish>
void pairSums(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2, double *D,
              Term term, Finish finish) {
  for (int32_t j = 0; j < N2; ++j, H2 += d) {
    const double *a = H1;
    for (int32_t i = 0; i < N1; ++i, a += d) {
      double s = 0.0;
      for (int32_t k = 0; k < d; ++k) s += term(a[k], H2[k]);
      *D++ = finish(s, j);
    }
  }
}

double xlogx(double t) { return t > 0.0 ? t * std::log(t) : 0.0; }

// Null when the heap cannot provide n doubles (a byte count that overflows
// size_t fails the same way). The out-of-memory test builds this file with
// BINDIST_FAIL_ALLOCATION so that every request fails.
double *allocateColumnSums(int32_t n) {
#ifdef BINDIST_FAIL_ALLOCATION
  (void)n;
  return nullptr;
#else
  return new (std::nothrow) double[static_cast<size_t>(n)];
#endif
}

}  // namespace

bool intersectionDistance(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                          double *D) {
  double *columnSums = allocateColumnSums(N2);
  if (!columnSums) return false;
  const double *b = H2;
  for (int32_t j = 0; j < N2; ++j, b += d) {
    double c = 0.0;
    for (int32_t k = 0; k < d; ++k) c += b[k];
    columnSums[j] = c;
  }
  pairSums(
      N1, N2, d, H1, H2, D, [](double a, double b) { return b > a ? a : b; },
      [columnSums](double s, int32_t j) { return 1.0 - s / columnSums[j]; });
  delete[] columnSums;
  return true;
}

void chiSquareDistance(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                       double *D) {
  pairSums(
      N1, N2, d, H1, H2, D,
      [](double a, double b) {
        const double diff = a - b;
        return (diff * diff) / ((a + b) * 2.0);
      },
      [](double s, int32_t) { return s; });
}

void logDivergence(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                   double *D) {
  pairSums(
      N1, N2, d, H1, H2, D,
      [](double a, double b) { return (xlogx(a) + xlogx(b)) - xlogx((a + b) * 0.5) * 2.0; },
      [](double s, int32_t) { return s; });
}
