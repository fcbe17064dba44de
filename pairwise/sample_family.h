// The sample family: distances between column i of X1 (d-by-N1) and column
// j of X2 (d-by-N2) made of the absolute differences of their elements,
// t(k) = |X1(k, i) - X2(k, j)| in increasing row order, by code: their sum
// t(0) + ... + t(d-1) with one accumulator (1), the largest (2: the running
// value takes t(k) only when t(k) > it, so a NaN t(0) stays and later NaN
// terms are passed over) and the smallest (3, likewise with <). Its table
// is sampledist, its nearest columns sampleknn (pairwise/family.h).
#ifndef EXACTMEX_PAIRWISE_SAMPLE_FAMILY_H
#define EXACTMEX_PAIRWISE_SAMPLE_FAMILY_H

#include "pairwise/family.h"

struct SampleFamily : FamilyDefaults {
  static constexpr const char *kNargin = "%.0sThe number of input should be %d.\n";
  static constexpr const char *kNargout =
      "%.0sThe number of output should not be larger than %d.\n";
  static constexpr int32_t kMetrics = 3;
  using Classes = ClassList<double, float, int8_t, uint8_t, int16_t, uint16_t, int32_t, uint32_t>;
  // Without rows no pair has a first term to start from.
  static constexpr bool kEmptyIsZero = true;

  // The code, then the samples.
  static Operands read(const gateway::Call &c) {
    using namespace gateway;
    const int32_t code = readSelector(c, 2, "code");
    if (code < 1 || code > kMetrics) fail(c, "badCode", "The pdm code should be from 1 to 3.\n");
    const Input x1 = readMatrix(c, 0, "X1", Classes());
    const Input x2 = readMatrix(c, 1, "X2", Classes());
    sameClass(c, x1, "X1", x2, "X2");
    if (x1.rows != x2.rows)
      fail(c, "sizeMismatch", "The sample dimensions of X1 and X2 are not the same.\n");
    return operands(x1, x2, code);
  }

  static KernelsByClass<TableKernel, Classes> tableKernels(simd::Target t = simd::activeTarget());
  static KernelsByClass<NearestKernel, Classes> nearestKernels(
      simd::Target t = simd::activeTarget());
};

#endif
