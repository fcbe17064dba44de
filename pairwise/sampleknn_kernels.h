// Kernels of sampleknn: for each column j in [j0, j1) of the d-by-N2 matrix
// X2, the kk columns of the d-by-N1 matrix X1 nearest to it by sampledist's
// distance of the same code, ascending, and their column numbers (from 1):
// D(r, j) and I(r, j), r < kk, of the kk-by-N2 outputs D and I, in the
// order simd/nearest.h gives. 1 <= kk <= N1; d must be at least 1.
#ifndef EXACTMEX_SAMPLEKNN_KERNELS_H
#define EXACTMEX_SAMPLEKNN_KERNELS_H

#include "simd/targets.h"

using SampleKnnKernel = void (*)(const double *X1, const double *X2, double *D, double *I,
                                 int32_t N1, int32_t d, int32_t kk, int32_t j0, int32_t j1);

// By code, as sampledist's: none (0), the sum (1), the largest (2), the
// smallest (3).
simd::Kernels<SampleKnnKernel> sampleknnKernels(simd::Target t = simd::activeTarget());

#endif
