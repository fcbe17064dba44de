// A family's kernels in the vector operations of one target: each metric
// through each output stage, the table (simd/pair_tile.h) and the nearest
// columns (simd/nearest.h), for each class of data T, computed in
// ResultOf<T> as Metric<ResultOf<T>>, made of the call's inputs,
// Metric{in}. Included by each family's metrics header, which
// then names its metrics by code as Metrics; once per target, so no include
// guard.
#include "simd/pair_tile.h"
// After the pair tile.
#include "simd/nearest.h"

namespace SIMD_NAMESPACE {
namespace {

// The tile computes each class in the class of its results.
static_assert(std::is_same_v<ComputedIn<int32_t>, ResultOf<int32_t>> &&
              std::is_same_v<ComputedIn<float>, ResultOf<float>>);

// Runs loop(out) with the output stage of the N1-by-N2 table D. Whether to
// stream is decided on the whole table, so every block of a large one
// streams.
template <class R, class Loop>
void intoTable(R *D, int32_t N1, int32_t N2, Loop loop) {
  const bool lines = kWidth<R> % kLineElements<R> == 0 && N1 % kLineElements<R> == 0;
  if (lines && streams(D, double(N1) * N2)) {
    StoreTable<R, true> out{D, N1};
    loop(out);
    streamFence();
  } else {
    StoreTable<R, false> out{D, N1};
    loop(out);
  }
}

template <class Metric, class T>
void tableOf(const PairInputs<T> &in, ResultOf<T> *D, const gateway::Block &b) {
  intoTable(D, in.N1, in.N2,
            [&](auto &out) { pairs(Metric{in}, out, in.A, in.B, in.d, b.i0, b.i1, b.j0, b.j1); });
}

template <class Metric, class T>
void nearestOf(const PairInputs<T> &in, ResultOf<T> *D, double *I, int32_t kk, int32_t j0,
               int32_t j1) {
  KeepNearest<ResultOf<T>> out{D, I, kk};
  pairs(Metric{in}, out, in.A, in.B, in.d, 0, in.N1, j0, j1);
}

// A family's metrics by code from 1, and the tables of each stage's kernels
// of them for class T (entry 0 selects none). A class whose kernels are not
// the pair loop's specialises tableOf or nearestOf.
template <template <class> class... Metric>
struct ByCode {
  static constexpr int32_t kCount = sizeof...(Metric);
  template <class T>
  static constexpr TableKernel<T> kTables[] = {nullptr, tableOf<Metric<ResultOf<T>>, T>...};
  template <class T>
  static constexpr NearestKernel<T> kNearest[] = {nullptr, nearestOf<Metric<ResultOf<T>>, T>...};

  template <class T>
  static constexpr simd::Kernels<TableKernel<T>> kernels(TableKernel<T>) {
    return kTables<T>;
  }
  template <class T>
  static constexpr simd::Kernels<NearestKernel<T>> kernels(NearestKernel<T>) {
    return kNearest<T>;
  }
};

}  // namespace
}  // namespace SIMD_NAMESPACE
