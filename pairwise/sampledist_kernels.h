// Kernels of sampledist: D(i,j) is a distance between column i of the d-by-N1
// matrix X1 and column j of the d-by-N2 matrix X2, built from the terms
// t(k) = |X1(k,i) - X2(k,j)| in increasing row order, starting from t(0).
// D is N1-by-N2; a kernel writes rows [i0, i1) of columns [j0, j1) of it,
// each element once. d must be at least 1.
#ifndef EXACTMEX_SAMPLEDIST_KERNELS_H
#define EXACTMEX_SAMPLEDIST_KERNELS_H

#include "simd/targets.h"

using SampleKernel = void (*)(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                              int32_t d, int32_t i0, int32_t i1, int32_t j0, int32_t j1);

// By code: none (0), the sum t(0) + ... + t(d-1) with one accumulator, the
// largest (the running value takes t(k) only when t(k) > it: a NaN t(0)
// stays, later NaN terms are passed over) and the smallest (likewise with <).
simd::Kernels<SampleKernel> sampledistKernels(simd::Target t = simd::activeTarget());

#endif
