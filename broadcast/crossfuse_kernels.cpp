// The variants of every kernel, one per instruction-set target, and the
// kernels themselves, which run the active target's variant.
#include "broadcast/crossfuse_kernels.h"

#define SIMD_BODY "broadcast/crossfuse_variants.h"
#include "simd/foreach_target.h"

void crossSum(const double *X, const double *vrow, const double *vcol, double *Y, int32_t m,
              int32_t n) {
  SIMD_DISPATCH(crossSum)(X, vrow, vcol, Y, m, n);
}

void crossProduct(const double *X, const double *vrow, const double *vcol, double *Y, int32_t m,
                  int32_t n) {
  SIMD_DISPATCH(crossProduct)(X, vrow, vcol, Y, m, n);
}
