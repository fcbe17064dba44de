#include "kernels.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <string>
#include <vector>

#include "broadcast/crossfuse_kernels.h"
#include "broadcast/lanefuse_kernels.h"
#include "pairwise/bin_family.h"
#include "pairwise/meshapply_kernels.h"
#include "pairwise/sample_family.h"

namespace bench {

namespace {

// Broadcast and meshapply: 8 MiB outputs, inside the caches of no CPU but
// short of streaming. Pairwise: d = 128 rows, 500 by 500 pairs.
constexpr int32_t kSide = 1024, kRows = 128, kPairs = 500;

// count ordinary values, kept for the whole run.
std::vector<double> &values(size_t count) {
  static std::deque<std::vector<double>> held;
  held.emplace_back(count);
  std::vector<double> &v = held.back();
  for (size_t k = 0; k < count; ++k) v[k] = double(k % 97) * 0.25 + 0.5;
  return v;
}

template <class Kernel, class Call>
void registerTable(const char *module, simd::Kernels<Kernel> table, Call call) {
  for (int32_t code = 0; code < table.count; ++code) {
    const Kernel kernel = table.at(code);
    if (!kernel) continue;
    const std::string name = std::string("kernel ") + module + " " + std::to_string(code);
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) {
      for (auto _ : state) call(kernel);
    })->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

void registerKernels() {
  const size_t n = size_t(kSide) * kSide;
  const double *X = values(n).data(), *v = values(kSide).data();
  double *Y = values(n).data();
  registerTable("lanefuse", lanefuseKernels(),
                [=](LaneKernel k) { k(1, X, v, Y, kSide, kSide, 0, kSide); });
  registerTable("crossfuse", crossfuseKernels(),
                [=](CrossKernel k) { k(X, v, v, Y, kSide, kSide, 0, kSide); });
  registerTable("meshapply", meshapplyKernels(),
                [=](MeshKernel k) { k(v, v, Y, kSide, kSide, 0, kSide, 0, kSide); });
  const double *A = values(size_t(kRows) * kPairs).data(), *sums = values(kPairs).data();
  double *D = values(size_t(kPairs) * kPairs).data();
  const PairInputs<double> in{A, A, kPairs, kPairs, kRows, sums};
  const auto table = [=](TableKernel<double> k) { k(in, D, {0, kPairs, 0, kPairs}); };
  registerTable("sampledist", SampleFamily::tableKernels().of<double>(), table);
  registerTable("bindist", BinFamily::tableKernels().of<double>(), table);
}

}  // namespace bench
