// Each kernel runs the variant built for the active target (simd/targets.h).
#include "pairwise/meshapply_kernels.h"

#define SIMD_BODY "pairwise/meshapply_variants.h"
#include "simd/foreach_target.h"

void meshSum(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t j0,
             int32_t j1) {
  SIMD_DISPATCH(meshSum)(x, y, Y, m, n, j0, j1);
}

void meshProduct(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t j0,
                 int32_t j1) {
  SIMD_DISPATCH(meshProduct)(x, y, Y, m, n, j0, j1);
}

void meshAbsDifference(const double *x, const double *y, double *Y, int32_t m, int32_t n,
                       int32_t j0, int32_t j1) {
  SIMD_DISPATCH(meshAbsDifference)(x, y, Y, m, n, j0, j1);
}

void meshMax(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t j0,
             int32_t j1) {
  SIMD_DISPATCH(meshMax)(x, y, Y, m, n, j0, j1);
}

void meshMin(const double *x, const double *y, double *Y, int32_t m, int32_t n, int32_t j0,
             int32_t j1) {
  SIMD_DISPATCH(meshMin)(x, y, Y, m, n, j0, j1);
}
