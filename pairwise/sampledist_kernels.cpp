// Each kernel runs the variant built for the active target (simd/targets.h).
#include "pairwise/sampledist_kernels.h"

#define SIMD_BODY "pairwise/sampledist_variants.h"
#include "simd/foreach_target.h"

void sumAbsDifference(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                      int32_t d, int32_t j0, int32_t j1) {
  SIMD_DISPATCH(sumAbsDifference)(X1, X2, D, N1, N2, d, j0, j1);
}

void maxAbsDifference(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                      int32_t d, int32_t j0, int32_t j1) {
  SIMD_DISPATCH(maxAbsDifference)(X1, X2, D, N1, N2, d, j0, j1);
}

void minAbsDifference(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                      int32_t d, int32_t j0, int32_t j1) {
  SIMD_DISPATCH(minAbsDifference)(X1, X2, D, N1, N2, d, j0, j1);
}
