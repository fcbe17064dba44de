#include "kernels.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "broadcast/crossfuse_kernels.h"
#include "broadcast/lanefuse_kernels.h"
#include "floors.h"
#include "pairwise/bin_family.h"
#include "pairwise/meshapply_kernels.h"
#include "pairwise/sample_family.h"

namespace bench {

namespace {

// Broadcast and meshapply: square outputs of doubles and of floats, 1024 on
// a side (8 and 4 MiB, which the last-level cache of a large CPU may hold)
// and 4096 (128 and 64 MiB, which no CPU's caches hold: written with
// streaming stores, the rate memory allows). Pairwise: d = 128 rows, 500 by
// 500 pairs, of doubles, singles (the same values) and bytes (uint8).
constexpr int32_t kSides[] = {1024, 4096};
constexpr int32_t kRows = 128, kPairs = 500;

// count ordinary values, kept for the whole run.
template <class T>
std::vector<T> &values(size_t count) {
  static std::deque<std::vector<T>> held;
  held.emplace_back(count);
  std::vector<T> &v = held.back();
  for (size_t k = 0; k < count; ++k) v[k] = T(double(k % 97) * 0.25 + 0.5);
  return v;
}

// Registers "kernel MODULE CODE" and what follows it (of) for every code of
// the table, each call writing `elements` output elements.
template <class Kernel, class Call>
void registerTable(const char *module, const std::string &of, simd::Kernels<Kernel> table,
                   double elements, Call call) {
  for (int32_t code = 0; code < table.count; ++code) {
    const Kernel kernel = table.at(code);
    if (!kernel) continue;
    const std::string name = std::string("kernel ") + module + " " + std::to_string(code) + of;
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) {
      for (auto _ : state) call(kernel);
      state.counters["elements/s"] =
          benchmark::Counter(elements * state.iterations(), benchmark::Counter::kIsRate);
    })->Unit(benchmark::kMillisecond);
  }
}

// The broadcast and meshapply tables of class T (named cls) on side-by-side
// outputs.
template <class T>
void registerStreamingTables(const char *cls, int32_t side) {
  const size_t n = size_t(side) * side;
  const T *X = values<T>(n).data(), *v = values<T>(side).data();
  T *Y = values<T>(n).data();
  const std::string of =
      std::string(" ") + cls + " " + std::to_string(side) + "x" + std::to_string(side);
  registerTable("lanefuse", of, lanefuseKernels<T>(), double(n),
                [=](LaneKernel<T> k) { k(1, X, v, Y, side, side, 0, side); });
  registerTable("crossfuse", of, crossfuseKernels<T>(), double(n),
                [=](CrossKernel<T> k) { k(X, v, v, Y, side, side, 0, side); });
  registerTable("meshapply", of, meshapplyKernels<T>(), double(n),
                [=](MeshKernel<T> k) { k(v, v, Y, side, side, 0, side, 0, side); });
}

// What writing `bytes` of output costs at least, timed beside the kernels:
// copying that many bytes (a kernel reading a matrix as large as its output)
// and filling them (one whose inputs are small), with streaming stores.
void registerFloors(size_t bytes) {
  const size_t n = bytes / sizeof(double);
  const double *src = values<double>(n).data();
  double *dst = values<double>(n).data();
  const std::string mib = " " + std::to_string(bytes >> 20) + " MiB";
  benchmark::RegisterBenchmark(("kernel floor copy" + mib).c_str(), [=](benchmark::State &state) {
    for (auto _ : state) streamingCopy(src, dst, n);
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(("kernel floor fill" + mib).c_str(), [=](benchmark::State &state) {
    for (auto _ : state) streamingFill(dst, n, 1.0);
  })->Unit(benchmark::kMillisecond);
}

// The pairwise families' tables of class T ("kernel MODULE CODE" and `of`).
template <class T>
void registerPairTables(const char *of) {
  using R = ResultOf<T>;
  const T *A = values<T>(size_t(kRows) * kPairs).data();
  const R *sums = values<R>(kPairs).data();
  R *D = values<R>(size_t(kPairs) * kPairs).data();
  const PairInputs<T> in{A, A, kPairs, kPairs, kRows, sums};
  const auto table = [=](TableKernel<T> k) { k(in, D, {0, kPairs, 0, kPairs}); };
  const double pairs = double(kPairs) * kPairs;
  registerTable("sampledist", of, SampleFamily::tableKernels().of<T>(), pairs, table);
  registerTable("bindist", of, BinFamily::tableKernels().of<T>(), pairs, table);
}

}  // namespace

void registerKernels() {
  std::set<size_t> floorBytes;
  for (int32_t side : kSides) {
    registerStreamingTables<double>("double", side);
    registerStreamingTables<float>("single", side);
    for (size_t bytes : {sizeof(double), sizeof(float)})
      if (floorBytes.insert(bytes * side * side).second) registerFloors(bytes * side * side);
  }
  registerPairTables<double>("");
  registerPairTables<float>(" single");
  registerPairTables<uint8_t>(" uint8");
}

}  // namespace bench
