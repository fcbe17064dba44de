// Kernels of meshapply: Y(i,j) = x(i) op y(j) for the m elements of x and the
// n elements of y, taken in linear order. Y is m-by-n; a kernel writes columns
// [j0, j1) of it, each element once, in storage order.
#ifndef EXACTMEX_MESHAPPLY_KERNELS_H
#define EXACTMEX_MESHAPPLY_KERNELS_H

#include <cstdint>

#include "simd/targets.h"

void meshSum(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t j0,
             int32_t j1);
void meshProduct(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t j0,
                 int32_t j1);
// |x(i) - y(j)| with the sign cleared: never -0.
void meshAbsDifference(const double *x, const double *y, double *Y, int32_t m, int32_t n,
                       int32_t j0, int32_t j1);
// x(i) when x(i) > y(j), otherwise y(j): ties and NaN give y(j).
void meshMax(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t j0,
             int32_t j1);
// x(i) when x(i) < y(j), otherwise y(j).
void meshMin(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t j0,
             int32_t j1);

// The same kernels for each instruction-set target; the ones above run the
// active target's.
SIMD_VARIANTS(void meshSum(const double *x, const double *y, double *Y, int32_t m, int32_t n,
                           int32_t j0, int32_t j1);
              void meshProduct(const double *x, const double *y, double *Y, int32_t m, int32_t n,
                               int32_t j0, int32_t j1);
              void meshAbsDifference(const double *x, const double *y, double *Y, int32_t m,
                                     int32_t n, int32_t j0, int32_t j1);
              void meshMax(const double *x, const double *y, double *Y, int32_t m, int32_t n,
                           int32_t j0, int32_t j1);
              void meshMin(const double *x, const double *y, double *Y, int32_t m, int32_t n,
                           int32_t j0, int32_t j1);)

#endif
