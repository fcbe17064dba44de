// Kernels of bindist: D(i,j) compares histogram column i of the d-by-N1
// matrix H1 with column j of the d-by-N2 matrix H2, bin by bin. Each pair has
// one running sum that starts at +0.0 and takes the bins in increasing order.
// D is N1-by-N2; a kernel writes columns [j0, j1) of it, each element once,
// in storage order.
#ifndef EXACTMEX_BINDIST_KERNELS_H
#define EXACTMEX_BINDIST_KERNELS_H

#include <cstdint>

#include "simd/targets.h"

// The N2 column sums of H2 that the intersection distance divides by, each
// from +0.0 in row order, in a new array; null, with nothing left allocated,
// when the array cannot be had. Released with releaseColumnSums.
double *intersectionColumnSums(int32_t N2, int32_t d, const double *H2);
void releaseColumnSums(double *columnSums);
// 1 - (sum of min(a, b)) / columnSums[j], where min takes a only when b > a
// (ties and NaN take b).
void intersectionDistance(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                          const double *columnSums, double *D, int32_t j0, int32_t j1);
// Sum of (a - b)^2 / ((a + b) * 2); an empty bin in both gives 0/0 = NaN.
void chiSquareDistance(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                       double *D, int32_t j0, int32_t j1);
// Sum of (xlogx(a) + xlogx(b)) - xlogx((a + b) * 0.5) * 2, with xlogx(t) =
// t * log(t) for t > 0 and 0 otherwise (0, negative, NaN).
void logDivergence(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2, double *D,
                   int32_t j0, int32_t j1);

// The kernels for each instruction-set target; the ones above run the active
// target's. intersectionPairs is intersectionDistance's variant.
SIMD_VARIANTS(void intersectionPairs(int32_t N1, int32_t N2, int32_t d, const double *H1,
                                     const double *H2, const double *columnSums, double *D,
                                     int32_t j0, int32_t j1);
              void chiSquareDistance(int32_t N1, int32_t N2, int32_t d, const double *H1,
                                     const double *H2, double *D, int32_t j0, int32_t j1);
              void logDivergence(int32_t N1, int32_t N2, int32_t d, const double *H1,
                                 const double *H2, double *D, int32_t j0, int32_t j1);)

#endif
