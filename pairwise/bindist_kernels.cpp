// The column sums of mcode 1 are made here, once per call; every kernel then
// runs the variant built for the active target (simd/targets.h).
#include "pairwise/bindist_kernels.h"

#include <cstddef>
#include <new>

#define SIMD_BODY "pairwise/bindist_variants.h"
#include "simd/foreach_target.h"

// Null when the heap cannot provide N2 doubles (a byte count that overflows
// size_t fails the same way). The out-of-memory test builds this file with
// BINDIST_FAIL_ALLOCATION so that every request fails.
double *intersectionColumnSums(int32_t N2, int32_t d, const double *H2) {
#ifdef BINDIST_FAIL_ALLOCATION
  (void)N2;
  (void)d;
  (void)H2;
  return nullptr;
#else
  double *columnSums = new (std::nothrow) double[static_cast<size_t>(N2)];
  if (!columnSums) return nullptr;
  const double *b = H2;
  for (int32_t j = 0; j < N2; ++j, b += d) {
    double c = 0.0;
    for (int32_t k = 0; k < d; ++k) c += b[k];
    columnSums[j] = c;
  }
  return columnSums;
#endif
}

void releaseColumnSums(double *columnSums) { delete[] columnSums; }

void intersectionDistance(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                          const double *columnSums, double *D, int32_t j0, int32_t j1) {
  SIMD_DISPATCH(intersectionPairs)(N1, N2, d, H1, H2, columnSums, D, j0, j1);
}

void chiSquareDistance(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                       double *D, int32_t j0, int32_t j1) {
  SIMD_DISPATCH(chiSquareDistance)(N1, N2, d, H1, H2, D, j0, j1);
}

void logDivergence(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2, double *D,
                   int32_t j0, int32_t j1) {
  SIMD_DISPATCH(logDivergence)(N1, N2, d, H1, H2, D, j0, j1);
}
