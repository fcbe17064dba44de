// Kernels of binknn: for each histogram column j in [j0, j1) of the d-by-N2
// matrix H2, the kk columns of the d-by-N1 matrix H1 nearest to it by
// bindist's distance of the same mcode, ascending, and their column numbers
// (from 1): D(r, j) and I(r, j), r < kk, of the kk-by-N2 outputs D and I, in
// the order simd/nearest.h gives. 1 <= kk <= N1.
#ifndef EXACTMEX_BINKNN_KERNELS_H
#define EXACTMEX_BINKNN_KERNELS_H

#include "simd/targets.h"

// columnSums: the N2 sums of H2's columns, which the intersection distance
// divides by (the others do not read it).
using BinKnnKernel = void (*)(const double *H1, const double *H2, const double *columnSums,
                              double *D, double *I, int32_t N1, int32_t d, int32_t kk, int32_t j0,
                              int32_t j1);

// By mcode, as bindist's: none (0), the intersection distance (1),
// chi-square (2), the log divergence (3).
simd::Kernels<BinKnnKernel> binknnKernels(simd::Target t = simd::activeTarget());

#endif
