// The bindist kernels in the vector operations of one target: included once
// per target by bindist_kernels.cpp (simd/foreach_target.h), so no include
// guard. a = H1(k, i), b = H2(k, j), each pair's sum starting at +0.
#include "simd/pair_tile.h"

namespace SIMD_NAMESPACE {
namespace {

struct Sum {
  static constexpr bool kSumFromZero = true;
  const double *columnSums;
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

template <class Metric>
void bin(const double *H1, const double *H2, const double *columnSums, double *D, int32_t N1,
         int32_t N2, int32_t d, int32_t i0, int32_t i1, int32_t j0, int32_t j1) {
  table(Metric{{columnSums}}, H1, H2, D, N1, N2, d, i0, i1, j0, j1);
}

constexpr BinKernel kernels[] = {nullptr, bin<Intersection>, bin<ChiSquare>, bin<LogDivergence>};

}  // namespace
}  // namespace SIMD_NAMESPACE
