// The metrics of sampledist and sampleknn in the vector operations of one
// target (simd/pair_tile.h's protocol): the terms are |X1(k, i) - X2(k, j)|,
// the first row's term the running value's start. Included once per target
// by each module's variants, so no include guard.
#include "simd/pair_tile.h"

namespace SIMD_NAMESPACE {
namespace {

struct AbsDifference {
  static constexpr bool kLogs = false, kSumFromZero = false;
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

// A module's table of kernel<Metric> by code: none (0), the sum (1), the
// largest (2), the smallest (3).
#define SAMPLE_KERNELS_BY_CODE(kernel) \
  { nullptr, kernel<Sum>, kernel<Largest>, kernel<Smallest> }

}  // namespace
}  // namespace SIMD_NAMESPACE
