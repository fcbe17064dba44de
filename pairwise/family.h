// A family of pairwise metrics: distances between column i of a d-by-N1
// matrix A and column j of a d-by-N2 matrix B, of their rows' terms in
// order. Defined once (pairwise/sample_family.h, bin_family.h), a family has
// two modules, two output stages over one pair loop: the table of every
// pair (simd/pair_tile.h) and each column of B's nearest columns of A
// (simd/nearest.h), their gateways made of the definition by
// pairwise/family_gateways.h, their kernels by pairwise/family_variants.h.
#ifndef EXACTMEX_PAIRWISE_FAMILY_H
#define EXACTMEX_PAIRWISE_FAMILY_H

#include <cstdint>
#include <type_traits>

#include "gateway/blocks.h"
#include "gateway/call.h"
#include "simd/targets.h"

template <class... T>
struct ClassList {};

// The class of the results of data of class T: single data gives single
// results, every other class (double, the integers) double results.
template <class T>
using ResultOf = std::conditional_t<std::is_same_v<T, float>, float, double>;

// What a kernel of data of class T reads: the columns, and for a metric
// that divides by the total of B's column (the histogram intersection) the
// N2 totals, null where none is read.
template <class T>
struct PairInputs {
  const T *A, *B;
  int32_t N1, N2, d;
  const ResultOf<T> *columnSums;
};

// The table: elements (i, j) of block b of the N1-by-N2 table D, each
// written once. d must be at least 1 where the family's kEmptyIsZero.
template <class T>
using TableKernel = void (*)(const PairInputs<T> &in, ResultOf<T> *D, const gateway::Block &b);

// The nearest columns: for each column j in [j0, j1) of the table, its kk
// smallest elements and their rows counted from 1, in the order
// simd/nearest.h gives: D(r, j) and I(r, j), r < kk, of the kk-by-N2
// outputs D and I. 1 <= kk <= N1; d as for the table.
template <class T>
using NearestKernel = void (*)(const PairInputs<T> &in, ResultOf<T> *D, double *I, int32_t kk,
                               int32_t j0, int32_t j1);

// One stage's kernels of a family for one target: for each class, a table
// of them by code (0, or a code past the end, selects none), made of the
// target's Metrics (pairwise/family_variants.h).
template <template <class> class Kernel, class List>
struct KernelsByClass;
template <template <class> class Kernel, class... T>
struct KernelsByClass<Kernel, ClassList<T...>> : simd::Kernels<Kernel<T>>... {
  template <class Metrics>
  static constexpr KernelsByClass built() {
    return {Metrics::kernels(Kernel<T>())...};
  }
  template <class C>
  simd::Kernels<Kernel<C>> of() const {
    return *this;
  }
};

// A family's definition gives, besides its kernels of each stage
// (tableKernels(t) and nearestKernels(t), built by FAMILY_KERNELS):
//   kNargin, kNargout  the messages of a wrong count of arguments or of
//                      outputs: formats of the function's name and the count
//                      allowed, either left unread ("%.0s": the name);
//   kMetrics           the codes of its metrics, 1 to kMetrics;
//   Classes            the classes its data may hold, each with kernels;
//   read(c)            its operands, checked in the order callers rely on,
//                      of one class of Classes;
// and, where they differ from these, the defaults:
struct FamilyDefaults {
  // Work of one term of each metric, against a term of the sample family's
  // (gateway/output_blocks.h).
  static double termWork(int32_t) { return 1; }
  // Whether pairs of columns of no rows give 0, no kernel running: the
  // running value starts as the first row's term.
  static constexpr bool kEmptyIsZero = false;
  // What the kernels read besides the inputs, made once the outputs are:
  // the column sums of B, in the call's scratch memory, where the metric of
  // `code` divides by them. False when the memory cannot be had: the call
  // then raises kNoMemory, a format of the function's name.
  template <class T>
  static bool prepare(const gateway::Call &, int32_t, PairInputs<T> &) {
    return true;
  }
  static constexpr const char *kNoMemory = "%s: not enough memory.\n";
};

// What a family's read gives: its two data inputs, of one class of
// Classes, and the code.
struct Operands {
  gateway::Input a, b;
  int32_t code;
};
inline Operands operands(const gateway::Input &a, const gateway::Input &b, int32_t code) {
  return {a, b, code};
}

// In a module's kernels source, after simd/foreach_target.h: Family::stage,
// of every target built here.
#define FAMILY_IF_BUILT(name, on, isa) SIMD_IF_BUILT(on, Built::built<simd_##name::Metrics>())
#define FAMILY_KERNELS(Family, stage)                                                         \
  static_assert(simd_scalar::Metrics::kCount == Family::kMetrics, "a kernel for every code"); \
  decltype(Family::stage()) Family::stage(simd::Target t) {                                   \
    using Built = decltype(Family::stage());                                                  \
    static constexpr Built byTarget[] = {SIMD_TARGETS(FAMILY_IF_BUILT)};                      \
    return byTarget[static_cast<int32_t>(t)];                                                 \
  }

#endif
