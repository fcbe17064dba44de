// The histogram family: distances between histogram column i of H1
// (d-by-N1) and column j of H2 (d-by-N2), bin by bin, a = H1(k, i) and
// b = H2(k, j), each pair's one sum starting at +0.0 and taking the bins in
// increasing order, by mcode: the intersection distance 1 - (sum of
// min(a, b)) / (the total of column j), where min takes a only when b > a
// (ties and NaN take b) (1); the chi-square distance, the sum of
// (a - b)^2 / ((a + b) * 2), an empty bin in both giving 0/0 = NaN (2); and
// the log divergence, the sum of (xlogx(a) + xlogx(b)) - xlogx((a + b) *
// 0.5) * 2, with xlogx(t) = t * log(t) for t > 0 and 0 otherwise (0,
// negative, NaN) (3). Its table is bindist, its nearest columns binknn
// (pairwise/family.h).
#ifndef EXACTMEX_PAIRWISE_BIN_FAMILY_H
#define EXACTMEX_PAIRWISE_BIN_FAMILY_H

#include "pairwise/family.h"

// The n sums of the d-by-n matrix H's columns, of class cls, each from +0.0
// in row order, in ResultOf the class (single sums of singles, double sums
// of every other class), in the call's scratch memory; null when it cannot
// be had. The tests link a version that always fails.
const void *columnSums(const gateway::Call &c, gateway::DataClass cls, int32_t n, int32_t d,
                       const void *H);

struct BinFamily : FamilyDefaults {
  static constexpr const char *kNargin = "%s uses %d input arguments.\n";
  static constexpr const char *kNargout = "Too many output arguments for %s.\n";
  static constexpr int32_t kMetrics = 3;
  using Classes = ClassList<double, float, int8_t, uint8_t, int16_t, uint16_t, int32_t, uint32_t>;

  // The histograms, then the code.
  static Operands read(const gateway::Call &c) {
    using namespace gateway;
    const Input h1 = readMatrix(c, 0, "H1", Classes());
    const Input h2 = readMatrix(c, 1, "H2", Classes());
    sameClass(c, h1, "H1", h2, "H2");
    const int32_t mcode = readSelector(c, 2, "mcode");
    // The wording of both messages is relied on by callers as it stands.
    if (h1.rows != h2.rows) fail(c, "sizeMismatch", "The dimensions of H1 ans H2 are not equal.\n");
    if (mcode < 1 || mcode > kMetrics) fail(c, "badCode", "mcode should be either 1 or 2.\n");
    return operands(h1, h2, mcode);
  }

  // Chi-square divides, the log divergence takes a logarithm.
  static double termWork(int32_t mcode) {
    constexpr double work[] = {0, 1, 2, 4};
    return work[mcode];
  }

  // The intersection divides by the column sums of H2.
  template <class T>
  static bool prepare(const gateway::Call &c, int32_t mcode, PairInputs<T> &in) {
    if (mcode == 1)
      in.columnSums =
          static_cast<const ResultOf<T> *>(columnSums(c, gateway::classOf<T>(), in.N2, in.d, in.B));
    return mcode != 1 || in.columnSums;
  }
  static constexpr const char *kNoMemory = "%s: not enough memory for the column sums of H2.\n";

  static KernelsByClass<TableKernel, Classes> tableKernels(simd::Target t = simd::activeTarget());
  static KernelsByClass<NearestKernel, Classes> nearestKernels(
      simd::Target t = simd::activeTarget());
};

#endif
