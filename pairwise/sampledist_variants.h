// The sampledist kernels in the vector operations of one target: included
// once per target by sampledist_kernels.cpp (simd/foreach_target.h), so no
// include guard. The terms are |X1(k, i) - X2(k, j)|, the first row's term
// the running value's start.
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

template <class Metric>
void sample(const double *X1, const double *X2, double *D, int32_t N1, int32_t N2, int32_t d,
            int32_t i0, int32_t i1, int32_t j0, int32_t j1) {
  table(Metric(), X1, X2, D, N1, N2, d, i0, i1, j0, j1);
}

constexpr SampleKernel kernels[] = {nullptr, sample<Sum>, sample<Largest>, sample<Smallest>};

}  // namespace
}  // namespace SIMD_NAMESPACE
