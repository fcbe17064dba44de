// Times every workload of the modules' descriptions (tests/modules/) through
// the standalone host (the module loaded by path, mexFunction called as
// MATLAB calls it) next to the floors of the same output size, in one
// process. The instruction-set target is the modules'
// own choice, or the one EXACTMEX_TARGET names: run once per target to
// compare them (bench/compare.py does).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "floors.h"
#include "kernels.h"
#include "module_loader.h"
#include "modules/description.h"
#include "simd/targets.h"

namespace {

#if defined(__GLIBC__)
// While one exists, the C library keeps freed memory and serves every block
// from it, however large: an output freed after one call is the memory of the
// next, already mapped, as a memory manager that recycles arrays would do.
// That times the module's own work, without the page faults of fresh memory.
struct RecycledMemory {
  RecycledMemory() {
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
  }
  ~RecycledMemory() {
    mallopt(M_MMAP_MAX, 65536);  // the defaults
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
    malloc_trim(0);
  }
};
#endif

// Reports how many elements (or terms) the iterations run made, per second.
void reportRate(benchmark::State &state, const std::string &unit, double perIteration) {
  state.counters[unit + "/s"] =
      benchmark::Counter(perIteration * state.iterations(), benchmark::Counter::kIsRate);
}

// One module call per iteration, its output released after it. With
// `recycled` the output's memory is reused from call to call (see above),
// otherwise each call writes fresh memory.
void runWorkload(benchmark::State &state, const std::string &module, const test::Workload &w,
                 bool recycled) {
  mexhost::Module mod(module);
  const std::vector<mexhost::Array> inputs = w.inputs();
  const std::vector<const mxArray *> in = mexhost::pointers(inputs);
#if defined(__GLIBC__)
  std::unique_ptr<RecycledMemory> recycling(recycled ? new RecycledMemory : nullptr);
#endif
  if (recycled) mod.call(1, in);  // maps the memory the timed calls reuse
  // Processor time, which the library reports too, for the cycles below.
  const std::clock_t start = std::clock();
  for (auto _ : state) {
    mexhost::CallResult r = mod.call(1, in);
    if (!r.ok) {
      state.SkipWithError(r.error.c_str());
      break;
    }
    benchmark::DoNotOptimize(mxGetPr(r.outputs[0].get()));
  }
  const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
  reportRate(state, w.unit, w.elements);
  // Cycles at the clock the library reads for the CPU (its nominal one).
  state.counters[w.unit + "/cycle"] =
      w.elements * state.iterations() / (seconds * benchmark::CPUInfo::Get().cycles_per_second);
}

// Copy between two buffers already written once, so that no page is first
// touched while timed: with our streaming loop, and with the C library's
// memcpy, which picks the widest instructions the CPU has and streams large
// blocks too. The faster of the two is the floor.
void copyFloor(benchmark::State &state, double bytes, bool library) {
  const size_t n = static_cast<size_t>(bytes / sizeof(double));
  std::vector<double> src(n, 1.0), dst(n, 0.0);
  for (auto _ : state) {
    if (library)
      std::memcpy(dst.data(), src.data(), n * sizeof(double));
    else
      bench::streamingCopy(src.data(), dst.data(), n);
    benchmark::ClobberMemory();
  }
  reportRate(state, "elements", double(n));
}

// Streaming stores of one value over a buffer already written once: the
// floor of a call whose inputs are small next to its output.
void fillFloor(benchmark::State &state, double bytes) {
  const size_t n = static_cast<size_t>(bytes / sizeof(double));
  std::vector<double> dst(n, 0.0);
  for (auto _ : state) {
    bench::streamingFill(dst.data(), n, 1.0);
    benchmark::ClobberMemory();
  }
  reportRate(state, "elements", double(n));
}

// A fresh output made by the host and written once: what any module
// returning an output of this size pays before computing anything.
void freshOutputFloor(benchmark::State &state, double bytes) {
  const size_t n = static_cast<size_t>(bytes / sizeof(double));
  for (auto _ : state) {
    mexhost::Array out(mxCreateUninitNumericMatrix(n, 1, mxDOUBLE_CLASS, mxREAL));
    bench::streamingFill(mxGetPr(out.get()), n, 1.0);
    benchmark::DoNotOptimize(mxGetPr(out.get()));
  }
  reportRate(state, "elements", double(n));
}

// What the machine gives threads right now: a fixed amount of arithmetic
// that needs no memory, split over EXACTMEX_THREADS threads (the calling
// one among them). On a machine shared with other work this is the most
// any workload can gain from threads at the time.
void threadsFloor(benchmark::State &state) {
  const char *text = std::getenv("EXACTMEX_THREADS");
  const int threads = text && std::atoi(text) > 1 ? std::atoi(text) : 1;
  const long steps = 40000000 / threads;
  auto spin = [steps] {
    double x = 1.0;
    for (long k = 0; k < steps; ++k) x = x * 0.9999999 + 1e-9;
    benchmark::DoNotOptimize(x);
  };
  for (auto _ : state) {
    std::vector<std::thread> others;
    for (int k = 1; k < threads; ++k) others.emplace_back(spin);
    spin();
    for (std::thread &t : others) t.join();
  }
}

}  // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::AddCustomContext("exactmex target", simd::targetName(simd::activeTarget()));
  std::set<double> floorSizes;
  std::vector<std::pair<std::string, test::Workload>> all, shapes;
  for (const test::Description &d : test::descriptions()) {
    for (const test::Workload &w : d.workloads) all.push_back({d.module, w});
    for (const test::Workload &w : d.shapes) shapes.push_back({d.module, w});
  }
  for (const auto &[module, w] : all) {
    benchmark::RegisterBenchmark((w.name + " fresh").c_str(), runWorkload, module, w, false)
        ->Unit(benchmark::kMillisecond);
#if defined(__GLIBC__)
    benchmark::RegisterBenchmark((w.name + " recycled").c_str(), runWorkload, module, w, true)
        ->Unit(benchmark::kMillisecond);
#endif
    // A nearest-column call's table call, for bench/compare_nearest.py.
    if (!w.table.empty()) benchmark::AddCustomContext("table of " + w.name, w.table);
    // Small calls have no floor; a size's floor is timed once.
    if (w.bytes < (1 << 20) || !floorSizes.insert(w.bytes).second) continue;
    const std::string mib = std::to_string(static_cast<long long>(w.bytes / (1 << 20))) + " MiB";
    benchmark::RegisterBenchmark(("floor copy " + mib).c_str(), copyFloor, w.bytes, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("floor memcpy " + mib).c_str(), copyFloor, w.bytes, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("floor fill " + mib).c_str(), fillFloor, w.bytes)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("floor fresh output " + mib).c_str(), freshOutputFloor, w.bytes)
        ->Unit(benchmark::kMillisecond);
  }
  // The tables in shapes of the same work, on recycled memory only.
  for (const auto &[module, w] : shapes)
    benchmark::RegisterBenchmark((w.name + " recycled").c_str(), runWorkload, module, w, true)
        ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("floor threads", threadsFloor)->Unit(benchmark::kMillisecond);
  bench::registerKernels();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
