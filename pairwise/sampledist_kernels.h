// Kernels of sampledist: D(i,j) is a distance between column i of the d-by-N1
// matrix X1 and column j of the d-by-N2 matrix X2, built from the terms
// t(k) = |X1(k,i) - X2(k,j)| in increasing row order, starting from t(0).
// D is N1-by-N2; a kernel writes columns [j0, j1) of it, each element once,
// in storage order. d must be at least 1.
#ifndef EXACTMEX_SAMPLEDIST_KERNELS_H
#define EXACTMEX_SAMPLEDIST_KERNELS_H

#include <cstdint>

#include "simd/targets.h"

// t(0) + t(1) + ... + t(d-1), one accumulator.
void sumAbsDifference(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                      int32_t d, int32_t j0, int32_t j1);
// The running value takes t(k) only when t(k) > it: a NaN t(0) stays, later
// NaN terms are passed over.
void maxAbsDifference(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                      int32_t d, int32_t j0, int32_t j1);
// Likewise with t(k) < running value.
void minAbsDifference(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                      int32_t d, int32_t j0, int32_t j1);

// The same kernels for each instruction-set target; the ones above run the
// active target's.
SIMD_VARIANTS(void sumAbsDifference(const double *X1, const double *X2, double *D, int32_t N1,
                                    int32_t N2, int32_t d, int32_t j0, int32_t j1);
              void maxAbsDifference(const double *X1, const double *X2, double *D, int32_t N1,
                                    int32_t N2, int32_t d, int32_t j0, int32_t j1);
              void minAbsDifference(const double *X1, const double *X2, double *D, int32_t N1,
                                    int32_t N2, int32_t d, int32_t j0, int32_t j1);)

#endif
