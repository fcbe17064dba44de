// Each kernel runs the variant built for the active target (simd/targets.h).
#include "pairwise/sampledist_kernels.h"

#define SIMD_BODY "pairwise/sampledist_variants.h"
#include "simd/foreach_target.h"

void sumAbsDifference(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                      int32_t d) {
  SIMD_DISPATCH(sumAbsDifference)(X1, X2, D, N1, N2, d);
}

void maxAbsDifference(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                      int32_t d) {
  SIMD_DISPATCH(maxAbsDifference)(X1, X2, D, N1, N2, d);
}

void minAbsDifference(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2,
                      int32_t d) {
  SIMD_DISPATCH(minAbsDifference)(X1, X2, D, N1, N2, d);
}
