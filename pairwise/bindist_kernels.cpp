// The column sums of mcode 1 are made here, once; every kernel then runs the
// variant built for the active target (simd/targets.h).
#include "pairwise/bindist_kernels.h"

#include <cstddef>
#include <new>

#define SIMD_BODY "pairwise/bindist_variants.h"
#include "simd/foreach_target.h"

namespace {

// Null when the heap cannot provide n doubles (a byte count that overflows
// size_t fails the same way). The out-of-memory test builds this file with
// BINDIST_FAIL_ALLOCATION so that every request fails.
double *allocateColumnSums(int32_t n) {
#ifdef BINDIST_FAIL_ALLOCATION
  (void)n;
  return nullptr;
#else
  return new (std::nothrow) double[static_cast<size_t>(n)];
#endif
}

}  // namespace

bool intersectionDistance(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                          double *D) {
  double *columnSums = allocateColumnSums(N2);
  if (!columnSums) return false;
  const double *b = H2;
  for (int32_t j = 0; j < N2; ++j, b += d) {
    double c = 0.0;
    for (int32_t k = 0; k < d; ++k) c += b[k];
    columnSums[j] = c;
  }
  SIMD_DISPATCH(intersectionPairs)(N1, N2, d, H1, H2, columnSums, D);
  delete[] columnSums;
  return true;
}

void chiSquareDistance(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                       double *D) {
  SIMD_DISPATCH(chiSquareDistance)(N1, N2, d, H1, H2, D);
}

void logDivergence(int32_t N1, int32_t N2, int32_t d, const double *H1, const double *H2,
                   double *D) {
  SIMD_DISPATCH(logDivergence)(N1, N2, d, H1, H2, D);
}
