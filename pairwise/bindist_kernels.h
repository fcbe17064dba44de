// Kernels of bindist: D(i,j) compares histogram column i of the d-by-N1
// matrix H1 with column j of the d-by-N2 matrix H2, bin by bin. Each pair has
// one running sum that starts at +0.0 and takes the bins in increasing order.
// D is N1-by-N2 and written once, in storage order.
#ifndef EXACTMEX_BINDIST_KERNELS_H
#define EXACTMEX_BINDIST_KERNELS_H

#include <cstdint>

#include "simd/targets.h"

// 1 - (sum of min(a, b)) / (sum of column j of H2), where min takes a only when
// b > a (ties and NaN take b). The N2 column sums are made once, before any
// pair, in a scratch array. Returns false, with D untouched and nothing left
// allocated, when that array cannot be allocated.
bool intersectionDistance(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                          double *D);
// Sum of (a - b)^2 / ((a + b) * 2); an empty bin in both gives 0/0 = NaN.
void chiSquareDistance(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                       double *D);
// Sum of (xlogx(a) + xlogx(b)) - xlogx((a + b) * 0.5) * 2, with xlogx(t) =
// t * log(t) for t > 0 and 0 otherwise (0, negative, NaN).
void logDivergence(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                   double *D);

// The kernels for each instruction-set target; the ones above run the active
// target's. intersectionPairs is the pair loop of intersectionDistance, given
// the column sums.
SIMD_VARIANTS(void intersectionPairs(int32_t N1, int32_t N2, int32_t d, const double *H1,
                                     const double *H2, const double *columnSums, double *D);
              void chiSquareDistance(int32_t N1, int32_t N2, int32_t d, const double *H1,
                                     const double *H2, double *D);
              void logDivergence(int32_t N1, int32_t N2, int32_t d, const double *H1,
                                 const double *H2, double *D);)

#endif
