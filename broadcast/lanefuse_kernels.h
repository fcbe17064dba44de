// Kernels of lanefuse: combine the m-by-n matrix X with the vector v, element
// by element, into Y. With d == 1 v holds one value per row (column form);
// with any other d one value per column (row form). Each kernel writes every
// element of columns [j0, j1) of Y and nothing else.
#ifndef EXACTMEX_LANEFUSE_KERNELS_H
#define EXACTMEX_LANEFUSE_KERNELS_H

#include <cstdint>

#include "simd/targets.h"

// Y = v replicated; X is never read, only its size counts.
void laneCopy(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
              int32_t j0, int32_t j1);
void laneAdd(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
             int32_t j0, int32_t j1);
void laneMultiply(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
                  int32_t j0, int32_t j1);
// X(i,j) when X(i,j) > p, otherwise p: ties and NaN give the vector's value.
void laneMax(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
             int32_t j0, int32_t j1);
// X(i,j) when X(i,j) < p, otherwise p.
void laneMin(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
             int32_t j0, int32_t j1);

// The same kernels for each instruction-set target; the ones above run the
// active target's.
SIMD_VARIANTS(void laneCopy(int32_t d, const double *X, const double *v, double *Y, int32_t m,
                            int32_t n, int32_t j0, int32_t j1);
              void laneAdd(int32_t d, const double *X, const double *v, double *Y, int32_t m,
                           int32_t n, int32_t j0, int32_t j1);
              void laneMultiply(int32_t d, const double *X, const double *v, double *Y, int32_t m,
                                int32_t n, int32_t j0, int32_t j1);
              void laneMax(int32_t d, const double *X, const double *v, double *Y, int32_t m,
                           int32_t n, int32_t j0, int32_t j1);
              void laneMin(int32_t d, const double *X, const double *v, double *Y, int32_t m,
                           int32_t n, int32_t j0, int32_t j1);)

#endif
