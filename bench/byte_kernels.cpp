// The sample family's kernels on uint8 data beside its double kernels on
// the same values converted, called directly on the active target, one
// thread: "kernel sampledist CODE CLASS N1xN2" for tables of d = 128 rows
// and "kernel sampleknn CODE CLASS N1xN2 k K" for the nearest columns, so
// that one run gives each class's rate of the same work.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pairwise/sample_family.h"

namespace {

constexpr int32_t kRows = 128;

// The same columns as bytes and as doubles, held for the whole run.
struct Columns {
  std::vector<uint8_t> bytes;
  std::vector<double> doubles;
};

const Columns &columns(int32_t n, uint64_t seed) {
  static std::vector<std::unique_ptr<Columns>> held;
  held.push_back(std::make_unique<Columns>());
  Columns &c = *held.back();
  std::mt19937_64 rng(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  c.bytes.resize(size_t(n) * kRows);
  for (uint8_t &x : c.bytes) x = uint8_t(byte(rng));
  c.doubles.assign(c.bytes.begin(), c.bytes.end());
  return c;
}

template <class Run>
void timed(const std::string &name, double pairs, Run run) {
  benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) {
    for (auto _ : state) run();
    state.counters["pairs/s"] =
        benchmark::Counter(pairs * state.iterations(), benchmark::Counter::kIsRate);
  })->Unit(benchmark::kMillisecond);
}

// Every code's table of n1 by n2 pairs, double then uint8.
void registerTables(int32_t n1, int32_t n2) {
  const Columns &a = columns(n1, 1), &b = columns(n2, 2);
  double *D = (new std::vector<double>(size_t(n1) * n2))->data();
  const PairInputs<double> in{a.doubles.data(), b.doubles.data(), n1, n2, kRows, nullptr};
  const PairInputs<uint8_t> in8{a.bytes.data(), b.bytes.data(), n1, n2, kRows, nullptr};
  const gateway::Block all{0, n1, 0, n2};
  const std::string shape = std::to_string(n1) + "x" + std::to_string(n2);
  for (int32_t code = 1; code <= 3; ++code) {
    const std::string name = "kernel sampledist " + std::to_string(code);
    const TableKernel<double> k = SampleFamily::tableKernels().of<double>().at(code);
    const TableKernel<uint8_t> k8 = SampleFamily::tableKernels().of<uint8_t>().at(code);
    timed(name + " double " + shape, double(n1) * n2, [=] { k(in, D, all); });
    timed(name + " uint8 " + shape, double(n1) * n2, [=] { k8(in8, D, all); });
  }
}

// Each of n2 columns' kk nearest of n1, double then uint8.
void registerNearest(int32_t n1, int32_t n2, int32_t kk) {
  const Columns &a = columns(n1, 3), &b = columns(n2, 4);
  double *D = (new std::vector<double>(size_t(kk) * n2))->data();
  double *I = (new std::vector<double>(size_t(kk) * n2))->data();
  const PairInputs<double> in{a.doubles.data(), b.doubles.data(), n1, n2, kRows, nullptr};
  const PairInputs<uint8_t> in8{a.bytes.data(), b.bytes.data(), n1, n2, kRows, nullptr};
  const std::string shape =
      std::to_string(n1) + "x" + std::to_string(n2) + " k " + std::to_string(kk);
  const std::string name = "kernel sampleknn 1";
  const NearestKernel<double> k = SampleFamily::nearestKernels().of<double>().at(1);
  const NearestKernel<uint8_t> k8 = SampleFamily::nearestKernels().of<uint8_t>().at(1);
  timed(name + " double " + shape, double(n1) * n2, [=] { k(in, D, I, kk, 0, n2); });
  timed(name + " uint8 " + shape, double(n1) * n2, [=] { k8(in8, D, I, kk, 0, n2); });
}

const bool registered = [] {
  registerTables(500, 500);
  registerTables(4096, 4096);
  registerNearest(50000, 500, 10);
  return true;
}();

}  // namespace
