// Each kernel runs the variant built for the active target (simd/targets.h).
#include "pairwise/meshapply_kernels.h"

#define SIMD_BODY "pairwise/meshapply_variants.h"
#include "simd/foreach_target.h"

void meshSum(const double *x, const double *y, double *Y, int32_t m, int32_t n) {
  SIMD_DISPATCH(meshSum)(x, y, Y, m, n);
}

void meshProduct(const double *x, const double *y, double *Y, int32_t m, int32_t n) {
  SIMD_DISPATCH(meshProduct)(x, y, Y, m, n);
}

void meshAbsDifference(const double *x, const double *y, double *Y, int32_t m, int32_t n) {
  SIMD_DISPATCH(meshAbsDifference)(x, y, Y, m, n);
}

void meshMax(const double *x, const double *y, double *Y, int32_t m, int32_t n) {
  SIMD_DISPATCH(meshMax)(x, y, Y, m, n);
}

void meshMin(const double *x, const double *y, double *Y, int32_t m, int32_t n) {
  SIMD_DISPATCH(meshMin)(x, y, Y, m, n);
}
