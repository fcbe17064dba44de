// The variants of every kernel, one per instruction-set target, and the
// kernels themselves, which run the active target's variant.
#include "broadcast/lanefuse_kernels.h"

#define SIMD_BODY "broadcast/lanefuse_variants.h"
#include "simd/foreach_target.h"

void laneCopy(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
              int32_t j0, int32_t j1) {
  SIMD_DISPATCH(laneCopy)(d, X, v, Y, m, n, j0, j1);
}

void laneAdd(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
             int32_t j0, int32_t j1) {
  SIMD_DISPATCH(laneAdd)(d, X, v, Y, m, n, j0, j1);
}

void laneMultiply(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
                  int32_t j0, int32_t j1) {
  SIMD_DISPATCH(laneMultiply)(d, X, v, Y, m, n, j0, j1);
}

void laneMax(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
             int32_t j0, int32_t j1) {
  SIMD_DISPATCH(laneMax)(d, X, v, Y, m, n, j0, j1);
}

void laneMin(int32_t d, const double *X, const double *v, double *Y, int32_t m, int32_t n,
             int32_t j0, int32_t j1) {
  SIMD_DISPATCH(laneMin)(d, X, v, Y, m, n, j0, j1);
}
