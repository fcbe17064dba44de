// Kernels of crossfuse: Y(i,j) = (vrow(j) op X(i,j)) op vcol(i) for the
// m-by-n matrix X, the partial result rounded to double before the second
// operation. Each kernel writes every element of Y.
#ifndef EXACTMEX_CROSSFUSE_KERNELS_H
#define EXACTMEX_CROSSFUSE_KERNELS_H

#include <cstdint>

#include "simd/targets.h"

void crossSum(const double *X, const double *vrow, const double *vcol, double *Y, int32_t m,
              int32_t n);
void crossProduct(const double *X, const double *vrow, const double *vcol, double *Y, int32_t m,
                  int32_t n);

// The same kernels for each instruction-set target; the ones above run the
// active target's.
SIMD_VARIANTS(void crossSum(const double *X, const double *vrow, const double *vcol, double *Y,
                            int32_t m, int32_t n);
              void crossProduct(const double *X, const double *vrow, const double *vcol, double *Y,
                                int32_t m, int32_t n);)

#endif
