// The histogram family's metrics (pairwise/bin_family.h) in the vector
// operations of one target (simd/pair_tile.h's protocol): a = H1(k, i),
// b = H2(k, j), each pair's sum starting at +0, computed in C (single for
// single data, double for the others), the xlogx of simd/pair_tile.h's
// for C. Included once per target by
// the family's kernels sources, so no include guard.
#include "pairwise/family_variants.h"

namespace SIMD_NAMESPACE {
namespace {

template <class C>
struct Sum {
  using Calc = C;
  using V = VecOf<C>;
  static constexpr bool kSumFromZero = true;
  const C *columnSums;
  template <class T>
  Sum(const PairInputs<T> &in) : columnSums(in.columnSums) {}
  V step(V s, V t) const { return add(s, t); }
  V finish(V s, int32_t) const { return s; }
};

// a only when b > a: ties and NaN take b.
template <class C>
struct Intersection : Sum<C> {
  using V = VecOf<C>;
  static constexpr bool kLogs = false;
  V term(V a, V b) const { return minOf(a, b); }
  V finish(V s, int32_t j) const { return sub(splat(C(1)), div(s, splat(this->columnSums[j]))); }
};

template <class C>
struct ChiSquare : Sum<C> {
  using V = VecOf<C>;
  static constexpr bool kLogs = false;
  V term(V a, V b) const {
    const V diff = sub(a, b);
    return div(mul(diff, diff), mul(add(a, b), splat(C(2))));
  }
};

// xlogx(a) and xlogx(b) come from the tile, made once per element; only
// that of the mean is made per pair.
template <class C>
struct LogDivergence : Sum<C> {
  using V = VecOf<C>;
  static constexpr bool kLogs = true;
  V mean(V a, V b) const { return mul(add(a, b), splat(C(0.5))); }
  V term(V xa, V xb, V xm) const { return sub(add(xa, xb), mul(xm, splat(C(2)))); }
};

using Metrics = ByCode<Intersection, ChiSquare, LogDivergence>;

}  // namespace
}  // namespace SIMD_NAMESPACE
