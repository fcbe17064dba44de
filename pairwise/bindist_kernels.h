// Kernels of bindist: D(i,j) compares histogram column i of the d-by-N1
// matrix H1 with column j of the d-by-N2 matrix H2, bin by bin. Each pair has
// one running sum that starts at +0.0 and takes the bins in increasing order.
// D is N1-by-N2; a kernel writes rows [i0, i1) of columns [j0, j1) of it,
// each element once.
#ifndef EXACTMEX_BINDIST_KERNELS_H
#define EXACTMEX_BINDIST_KERNELS_H

#include "simd/targets.h"

// columnSums: the N2 sums of H2's columns, which the intersection distance
// divides by (the others do not read it).
using BinKernel = void (*)(const double *H1, const double *H2, const double *columnSums, double *D,
                           int32_t N1, int32_t N2, int32_t d, int32_t i0, int32_t i1, int32_t j0,
                           int32_t j1);

// By mcode: none (0); the intersection distance 1 - (sum of min(a, b)) /
// columnSums[j], where min takes a only when b > a (ties and NaN take b);
// the chi-square distance, the sum of (a - b)^2 / ((a + b) * 2) (an empty
// bin in both gives 0/0 = NaN); and the log divergence, the sum of
// (xlogx(a) + xlogx(b)) - xlogx((a + b) * 0.5) * 2, with xlogx(t) =
// t * log(t) for t > 0 and 0 otherwise (0, negative, NaN).
simd::Kernels<BinKernel> bindistKernels(simd::Target t = simd::activeTarget());

#endif
