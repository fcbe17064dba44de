// The pairwise families' kernels as the kernel suites call them, from each
// family's definition (pairwise/family.h): both stages' tables of every
// code for one target, and the plain definition of an element.
#ifndef EXACTMEX_TESTS_FAMILIES_H
#define EXACTMEX_TESTS_FAMILIES_H

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "pairwise/bin_family.h"
#include "pairwise/sample_family.h"
#include "support/oracles.h"
#include "support/variants.h"

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
simd::Kernels<TableKernel<double>> tablesOf(simd::Target t) {
  return Family::tableKernels(t).template of<double>();
}
template <class Family>
simd::Kernels<NearestKernel<double>> nearestsOf(simd::Target t) {
  return Family::nearestKernels(t).template of<double>();
}

inline const std::vector<FamilyKernels> &families() {
  static const std::vector<FamilyKernels> all = {
      {"sampledist", "sampleknn", tablesOf<SampleFamily>, nearestsOf<SampleFamily>, oracle::sample,
       false, SampleFamily::kEmptyIsZero},
      {"bindist", "binknn", tablesOf<BinFamily>, nearestsOf<BinFamily>, oracle::bin, true,
       BinFamily::kEmptyIsZero}};
  return all;
}

// A family's inputs: A (d-by-N1), B (d-by-N2) and the sums of B's columns.
struct Columns {
  int32_t N1, N2, d;
  std::vector<double> A, B, sums;

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

// Every kernel of every family on the columns a (N1 of d rows) and b (N2),
// taken as histograms (every third value made non-negative, so that the
// logarithms are taken) by a family of histograms: each code's table, or
// only the first code's when not `all`, and its nearest columns kept kk at
// a time for each kk of `kept`. No kernel runs on columns of no rows in a
// family whose empty columns give 0.
inline std::vector<Case> familyCases(simd::Target t, int32_t N1, int32_t N2, int32_t d,
                                     const std::vector<double> &a, const std::vector<double> &b,
                                     bool all, const std::vector<int32_t> &kept) {
  const std::string on = std::string(" on ") + simd::targetName(t) + ", N1 " + std::to_string(N1) +
                         " N2 " + std::to_string(N2) + " d " + std::to_string(d);
  std::vector<Case> cases;
  for (const FamilyKernels &f : families()) {
    if (d == 0 && f.emptyIsZero) continue;
    auto x = std::make_shared<Columns>(Columns{N1, N2, d, a, b, std::vector<double>(N2, 0.0)});
    for (std::vector<double> *h : {&x->A, &x->B})
      for (size_t k = 0; f.histograms && k < h->size(); k += 3) (*h)[k] = std::fabs((*h)[k]);
    for (int32_t j = 0; j < N2; ++j)
      for (int32_t k = 0; k < d; ++k) x->sums[j] += x->B[size_t(j) * d + k];
    for (int32_t code : codesOf(f.tables(t), all)) {
      const TableKernel<double> table = f.tables(t).at(code);
      const NearestKernel<double> nearest = f.nearests(t).at(code);
      const std::string what = " code " + std::to_string(code) + on;
      const std::vector<double> want = x->table(f, code);
      cases.push_back({f.table + what,
                       [=](double *D, double *, const gateway::Block &b) { table(x->in(), D, b); },
                       N1, N2, want, Element::kComputed, true});
      for (int32_t kk : kept) {
        const oracle::Nearest near =
            oracle::nearest([&](size_t i, size_t j) { return want[i + j * N1]; }, N1, N2, kk);
        cases.push_back({f.nearest + what + " k " + std::to_string(kk),
                         [=](double *D, double *I, const gateway::Block &b) {
                           nearest(x->in(), D, I, kk, b.j0, b.j1);
                         },
                         kk, N2, near.D, Element::kComputed, false, near.I});
      }
    }
  }
  return cases;
}

}  // namespace test

#endif
