// The pairwise families' kernels as the kernel suites call them, from each
// family's definition (pairwise/family.h): both stages' tables, every code
// of each, for one target, with the plain definition of an element.
#ifndef EXACTMEX_TESTS_FAMILIES_H
#define EXACTMEX_TESTS_FAMILIES_H

#include <string>
#include <vector>

#include "pairwise/bin_family.h"
#include "pairwise/sample_family.h"
#include "support/oracles.h"

namespace test {

struct FamilyKernels {
  const char *table, *nearest;  // the modules
  simd::Kernels<TableKernel<double>> (*tables)(simd::Target);
  simd::Kernels<NearestKernel<double>> (*nearests)(simd::Target);
  // Element (i, j) of the table: column i of A against column j of B.
  double (*element)(int code, const double *a, const double *b, size_t d);
  bool histograms;   // inputs taken as histograms (their logarithms taken)
  bool emptyIsZero;  // no kernel runs on columns of no rows
};

template <class Family>
FamilyKernels familyKernels(const char *table, const char *nearest,
                            double (*element)(int, const double *, const double *, size_t),
                            bool histograms) {
  return {table,
          nearest,
          [](simd::Target t) { return Family::tableKernels(t).template of<double>(); },
          [](simd::Target t) { return Family::nearestKernels(t).template of<double>(); },
          element,
          histograms,
          Family::kEmptyIsZero};
}

inline const std::vector<FamilyKernels> &families() {
  static const std::vector<FamilyKernels> all = {
      familyKernels<SampleFamily>("sampledist", "sampleknn", oracle::sample, false),
      familyKernels<BinFamily>("bindist", "binknn", oracle::bin, true)};
  return all;
}

// Inputs of a family's kernels: A (d-by-N1), B (d-by-N2) and the sums of
// B's columns.
struct Columns {
  int32_t N1, N2, d;
  std::vector<double> A, B, sums;

  Columns(int32_t N1, int32_t N2, int32_t d, std::vector<double> a, std::vector<double> b)
      : N1(N1), N2(N2), d(d), A(std::move(a)), B(std::move(b)), sums(N2, 0.0) {
    for (int32_t j = 0; j < N2; ++j)
      for (int32_t k = 0; k < d; ++k) sums[j] += B[size_t(j) * d + k];
  }
  PairInputs<double> in() const { return {A.data(), B.data(), N1, N2, d, sums.data()}; }

  // The N1-by-N2 table of f's metric of this code.
  std::vector<double> table(const FamilyKernels &f, int code) const {
    std::vector<double> D(size_t(N1) * N2, 0.0);
    if (d == 0 && f.emptyIsZero) return D;
    for (int32_t j = 0; j < N2; ++j)
      for (int32_t i = 0; i < N1; ++i)
        D[i + size_t(j) * N1] =
            f.element(code, A.data() + size_t(i) * d, B.data() + size_t(j) * d, d);
    return D;
  }
};

// What the nearest kernel gives for each column of the N1-by-N2 table.
inline oracle::Nearest nearestOf(const std::vector<double> &table, int32_t N1, int32_t N2,
                                 int32_t kk) {
  return oracle::nearest([&](size_t i, size_t j) { return table[i + j * N1]; }, N1, N2, kk);
}

}  // namespace test

#endif
