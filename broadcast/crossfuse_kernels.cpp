// Each kernel runs the variant built for the active target (simd/targets.h).
#include "broadcast/crossfuse_kernels.h"

void crossSum(const double *X, const double *vrow, const double *vcol, double *Y, int32_t m,
              int32_t n) {
  SIMD_DISPATCH(crossSum)(X, vrow, vcol, Y, m, n);
}

void crossProduct(const double *X, const double *vrow, const double *vcol, double *Y, int32_t m,
                  int32_t n) {
  SIMD_DISPATCH(crossProduct)(X, vrow, vcol, Y, m, n);
}
