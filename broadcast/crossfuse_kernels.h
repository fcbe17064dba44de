// Kernels of crossfuse: Y(i,j) = (vrow(j) op X(i,j)) op vcol(i) for the
// m-by-n matrix X, the partial result rounded to double before the second
// operation. Each kernel writes every element of columns [j0, j1) of Y and
// nothing else.
#ifndef EXACTMEX_CROSSFUSE_KERNELS_H
#define EXACTMEX_CROSSFUSE_KERNELS_H

#include "simd/targets.h"

using CrossKernel = void (*)(const double *X, const double *vrow, const double *vcol, double *Y,
                             int32_t m, int32_t n, int32_t j0, int32_t j1);

// By opcode: none (0), sum (1), product (2).
simd::Kernels<CrossKernel> crossfuseKernels(simd::Target t = simd::activeTarget());

#endif
