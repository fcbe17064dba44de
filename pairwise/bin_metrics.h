// The histogram family's metrics (pairwise/bin_family.h) in the vector
// operations of one target (simd/pair_tile.h's protocol): a = H1(k, i),
// b = H2(k, j), each pair's sum starting at +0. Included once per target by
// the family's kernels sources, so no include guard.
#include "pairwise/family_variants.h"

namespace SIMD_NAMESPACE {
namespace {

struct Sum {
  static constexpr bool kSumFromZero = true;
  const double *columnSums;
  template <class T>
  Sum(const PairInputs<T> &in) : columnSums(in.columnSums) {}
  Vec step(Vec s, Vec t) const { return add(s, t); }
  Vec finish(Vec s, int32_t) const { return s; }
};

// a only when b > a: ties and NaN take b.
struct Intersection : Sum {
  static constexpr bool kLogs = false;
  Vec term(Vec a, Vec b) const { return minOf(a, b); }
  Vec finish(Vec s, int32_t j) const { return sub(splat(1.0), div(s, splat(columnSums[j]))); }
};

struct ChiSquare : Sum {
  static constexpr bool kLogs = false;
  Vec term(Vec a, Vec b) const {
    const Vec diff = sub(a, b);
    return div(mul(diff, diff), mul(add(a, b), splat(2.0)));
  }
};

// xlogx(a) and xlogx(b) come from the tile, made once per element; only
// that of the mean is made per pair.
struct LogDivergence : Sum {
  static constexpr bool kLogs = true;
  Vec mean(Vec a, Vec b) const { return mul(add(a, b), splat(0.5)); }
  Vec term(Vec xa, Vec xb, Vec xm) const { return sub(add(xa, xb), mul(xm, splat(2.0))); }
};

using Metrics = ByCode<Intersection, ChiSquare, LogDivergence>;

}  // namespace
}  // namespace SIMD_NAMESPACE
