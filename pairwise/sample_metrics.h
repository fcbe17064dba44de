// The sample family's metrics (pairwise/sample_family.h) in the vector
// operations of one target (simd/pair_tile.h's protocol): the terms are
// |X1(k, i) - X2(k, j)|, the first row's term the running value's start.
// Included once per target by the family's kernels sources, so no include
// guard.
#include "pairwise/family_variants.h"

namespace SIMD_NAMESPACE {
namespace {

struct AbsDifference {
  static constexpr bool kLogs = false, kSumFromZero = false;
  // Reads nothing of the call but the columns.
  template <class T>
  AbsDifference(const PairInputs<T> &) {}
  Vec term(Vec a, Vec b) const { return absOf(sub(a, b)); }
  Vec finish(Vec r, int32_t) const { return r; }
};

struct Sum : AbsDifference {
  Vec step(Vec r, Vec t) const { return add(r, t); }
};

// t replaces r only when t > r (t < r): a NaN first term stays, later NaN
// terms are passed over.
struct Largest : AbsDifference {
  Vec step(Vec r, Vec t) const { return maxOf(t, r); }
};

struct Smallest : AbsDifference {
  Vec step(Vec r, Vec t) const { return minOf(t, r); }
};

using Metrics = ByCode<Sum, Largest, Smallest>;

}  // namespace
}  // namespace SIMD_NAMESPACE
