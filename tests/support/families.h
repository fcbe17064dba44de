// The pairwise families' kernels as the kernel suites call them, from each
// family's definition (pairwise/family.h): both stages' tables of every
// code and class for one target, and the plain definition of an element.
#ifndef EXACTMEX_TESTS_FAMILIES_H
#define EXACTMEX_TESTS_FAMILIES_H

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "gateway/data_class.h"
#include "pairwise/bin_family.h"
#include "pairwise/sample_family.h"
#include "support/oracles.h"
#include "support/variants.h"

namespace test {

static_assert(std::is_same_v<SampleFamily::Classes, BinFamily::Classes>,
              "the kernel suites take one list of classes");

// Runs check(T()) for each class of data the families take, double first,
// until one raises a fatal failure.
template <class... T, class Check>
void forEachPairClass(ClassList<T...>, Check check) {
  (void)((check(T()), !::testing::Test::HasFatalFailure()) && ...);
}
template <class Check>
void forEachPairClass(Check check) {
  forEachPairClass(SampleFamily::Classes(), check);
}

template <class T>
const char *pairClassName() {
  return gateway::className(gateway::classOf<T>());
}

struct FamilyKernels {
  const char *table, *nearest;  // the modules
  bool histograms;              // inputs taken as histograms (their logarithms taken)
  bool emptyIsZero;             // no kernel runs on columns of no rows

  // Each stage's kernels of data of class T on target t.
  template <class T = double>
  simd::Kernels<TableKernel<T>> tables(simd::Target t) const {
    return histograms ? BinFamily::tableKernels(t).template of<T>()
                      : SampleFamily::tableKernels(t).template of<T>();
  }
  template <class T = double>
  simd::Kernels<NearestKernel<T>> nearests(simd::Target t) const {
    return histograms ? BinFamily::nearestKernels(t).template of<T>()
                      : SampleFamily::nearestKernels(t).template of<T>();
  }
  // Element (i, j) of the table: column i of A against column j of B.
  template <class T>
  ResultOf<T> element(int code, const T *a, const T *b, size_t d) const {
    return histograms ? oracle::bin(code, a, b, d) : oracle::sample(code, a, b, d);
  }
};

inline const std::vector<FamilyKernels> &families() {
  static const std::vector<FamilyKernels> all = {
      {"sampledist", "sampleknn", false, SampleFamily::kEmptyIsZero},
      {"bindist", "binknn", true, BinFamily::kEmptyIsZero}};
  return all;
}

// A family's inputs of class T: A (d-by-N1), B (d-by-N2) and the sums of
// B's columns, in the class of the results, in row order.
template <class T>
struct ColumnsOf {
  using R = ResultOf<T>;
  int32_t N1, N2, d;
  std::vector<T> A, B;
  std::vector<R> sums;

  PairInputs<T> in() const { return {A.data(), B.data(), N1, N2, d, sums.data()}; }
  // The N1-by-N2 table of f's metric of this code.
  std::vector<R> table(const FamilyKernels &f, int code) const {
    std::vector<R> D(size_t(N1) * N2, R(0));
    if (d == 0 && f.emptyIsZero) return D;
    for (int32_t j = 0; j < N2; ++j)
      for (int32_t i = 0; i < N1; ++i)
        D[i + size_t(j) * N1] =
            f.element(code, A.data() + size_t(i) * d, B.data() + size_t(j) * d, size_t(d));
    return D;
  }
};
using Columns = ColumnsOf<double>;

// x made a histogram's bin: its magnitude (an integer's least value, whose
// magnitude the class lacks, its largest).
template <class T>
T binOf(T x) {
  if constexpr (std::is_floating_point_v<T>)
    return std::fabs(x);
  else
    return x >= 0 ? x : x == std::numeric_limits<T>::min() ? std::numeric_limits<T>::max() : T(-x);
}

// count values of integer class T: one in `rarity` an extreme (the least,
// the largest, 0, 1, the largest's half), the rest drawn over the whole
// range or, half of them, among 0 to 3, so that many tie.
template <class T>
std::vector<T> integerValues(uint64_t seed, size_t count, int rarity) {
  using L = std::numeric_limits<T>;
  const T extremes[] = {L::min(), L::max(), T(0), T(1), T(L::max() / 2)};
  std::mt19937_64 rng(seed);
  std::uniform_int_distribution<int64_t> any(L::min(), L::max()), small(0, 3), which(0, rarity - 1),
      extreme(0, 4);
  std::vector<T> v(count);
  for (T &x : v)
    x = which(rng) == 0 ? extremes[extreme(rng)] : T(rng() % 2 ? any(rng) : small(rng));
  return v;
}

// Every kernel of every family on the columns a (N1 of d rows) and b (N2)
// of class T, taken as histograms (every third value made a bin, so that
// the logarithms are taken) by a family of histograms: each code's table,
// or only the first code's when not `all`, and its nearest columns kept kk
// at a time for each kk of `kept`. No kernel runs on columns of no rows in
// a family whose empty columns give 0.
template <class T>
std::vector<CaseOf<ResultOf<T>>> familyCases(simd::Target t, int32_t N1, int32_t N2, int32_t d,
                                             const std::vector<T> &a, const std::vector<T> &b,
                                             bool all, const std::vector<int32_t> &kept) {
  using R = ResultOf<T>;
  const std::string on = std::string(" of ") + pairClassName<T>() + " on " + simd::targetName(t) +
                         ", N1 " + std::to_string(N1) + " N2 " + std::to_string(N2) + " d " +
                         std::to_string(d);
  std::vector<CaseOf<R>> cases;
  for (const FamilyKernels &f : families()) {
    if (d == 0 && f.emptyIsZero) continue;
    auto x =
        std::make_shared<ColumnsOf<T>>(ColumnsOf<T>{N1, N2, d, a, b, std::vector<R>(N2, R(0))});
    for (std::vector<T> *h : {&x->A, &x->B})
      for (size_t k = 0; f.histograms && k < h->size(); k += 3) (*h)[k] = binOf((*h)[k]);
    for (int32_t j = 0; j < N2; ++j)
      for (int32_t k = 0; k < d; ++k) x->sums[j] += R(x->B[size_t(j) * d + k]);
    for (int32_t code : codesOf(f.tables<T>(t), all)) {
      const TableKernel<T> table = f.tables<T>(t).at(code);
      const NearestKernel<T> nearest = f.nearests<T>(t).at(code);
      const std::string what = " code " + std::to_string(code) + on;
      const std::vector<R> want = x->table(f, code);
      cases.push_back({f.table + what,
                       [=](R *D, double *, const gateway::Block &b) { table(x->in(), D, b); }, N1,
                       N2, want, Element::kComputed, true});
      for (int32_t kk : kept) {
        // Single values order as their doubles do.
        const oracle::Nearest ranked = oracle::nearest(
            [&](size_t i, size_t j) { return double(want[i + j * N1]); }, N1, N2, kk);
        cases.push_back({f.nearest + what + " k " + std::to_string(kk),
                         [=](R *D, double *I, const gateway::Block &b) {
                           nearest(x->in(), D, I, kk, b.j0, b.j1);
                         },
                         kk, N2, std::vector<R>(ranked.D.begin(), ranked.D.end()),
                         Element::kComputed, false, ranked.I});
      }
    }
  }
  return cases;
}

}  // namespace test

#endif
