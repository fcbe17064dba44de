// The variants of every kernel, one per instruction-set target, and the
// kernels themselves, which run the active target's variant.
#include "broadcast/crossfuse_kernels.h"

#define SIMD_BODY "broadcast/crossfuse_variants.h"
#include "simd/foreach_target.h"

void crossSum(const double *X, const double *vrow, const double *vcol, double *Y, int32_t m,
              int32_t n, int32_t j0, int32_t j1) {
  SIMD_DISPATCH(crossSum)(X, vrow, vcol, Y, m, n, j0, j1);
}

void crossProduct(const double *X, const double *vrow, const double *vcol, double *Y, int32_t m,
                  int32_t n, int32_t j0, int32_t j1) {
  SIMD_DISPATCH(crossProduct)(X, vrow, vcol, Y, m, n, j0, j1);
}
