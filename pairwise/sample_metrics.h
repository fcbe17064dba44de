// The sample family's metrics (pairwise/sample_family.h) in the vector
// operations of one target (simd/pair_tile.h's protocol): the terms are
// |X1(k, i) - X2(k, j)|, the first row's term the running value's start,
// computed in C (single for single data, double for the others).
// Included once per target by the family's kernels sources, so no include
// guard.
#include "pairwise/family_variants.h"
// After the stages it hands its results to.
#include "pairwise/sample_bytes.h"

namespace SIMD_NAMESPACE {
namespace {

template <class C>
struct AbsDifference {
  using Calc = C;
  using V = VecOf<C>;
  static constexpr bool kLogs = false, kSumFromZero = false;
  // Reads nothing of the call but the columns.
  template <class T>
  AbsDifference(const PairInputs<T> &) {}
  V term(V a, V b) const { return absOf(sub(a, b)); }
  V finish(V r, int32_t) const { return r; }
};

template <class C>
struct Sum : AbsDifference<C> {
  using V = VecOf<C>;
  V step(V r, V t) const { return add(r, t); }
};

// t replaces r only when t > r (t < r): a NaN first term stays, later NaN
// terms are passed over.
template <class C>
struct Largest : AbsDifference<C> {
  using V = VecOf<C>;
  V step(V r, V t) const { return maxOf(t, r); }
};

template <class C>
struct Smallest : AbsDifference<C> {
  using V = VecOf<C>;
  V step(V r, V t) const { return minOf(t, r); }
};

// Data of one byte an element has kernels of its own, of bytes in
// vectors (pairwise/sample_bytes.h); the other classes the pair loop's.
struct Metrics : ByCode<Sum, Largest, Smallest> {
  using ByCode::kernels;
  static constexpr simd::Kernels<TableKernel<uint8_t>> kernels(TableKernel<uint8_t>) {
    return kByteTables<uint8_t>;
  }
  static constexpr simd::Kernels<TableKernel<int8_t>> kernels(TableKernel<int8_t>) {
    return kByteTables<int8_t>;
  }
  static constexpr simd::Kernels<NearestKernel<uint8_t>> kernels(NearestKernel<uint8_t>) {
    return kByteNearest<uint8_t>;
  }
  static constexpr simd::Kernels<NearestKernel<int8_t>> kernels(NearestKernel<int8_t>) {
    return kByteNearest<int8_t>;
  }
};

}  // namespace
}  // namespace SIMD_NAMESPACE
