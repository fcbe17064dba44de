// Each query's nearest columns where the table of every distance would not
// fit in this machine's memory: 16 x 200,000 reference columns against
// 16 x 20,000 queries, k = 10, whose table is 32 GB. The call must succeed,
// its answer for some queries must be a stable sort of their whole column,
// and the process must stay under 1.5 GiB at its peak. A program of its own,
// so that its peak is this call's alone.
#include <sys/resource.h>

#include <cstdio>
#include <random>
#include <vector>

#include "module_loader.h"
#include "support/oracles.h"

namespace {

constexpr size_t kRows = 16, kReference = 200000, kQueries = 20000, kK = 10;
constexpr double kMostBytes = 1.5 * (1 << 30);

int failed(const char *what) {
  std::fprintf(stderr, "nearest_memory: %s\n", what);
  return 1;
}

}  // namespace

int main() {
  std::mt19937_64 rng(200000);
  std::uniform_int_distribution<int> small(0, 9);  // whole numbers: ties
  std::vector<double> x1(kRows * kReference), x2(kRows * kQueries);
  for (double &v : x1) v = small(rng);
  for (double &v : x2) v = small(rng);
  mexhost::Module mod("sampleknn");
  const std::vector<mexhost::Array> in =
      mexhost::arrays(mexhost::matrix(kRows, kReference, x1), mexhost::matrix(kRows, kQueries, x2),
                      mexhost::scalar(1), mexhost::scalar(double(kK)));
  mexhost::CallResult r = mod.call(2, mexhost::pointers(in));
  if (!r.ok) return failed(r.error.c_str());
  const double *D = mxGetPr(r.outputs[0].get()), *I = mxGetPr(r.outputs[1].get());
  if (mxGetM(r.outputs[0].get()) != kK || mxGetN(r.outputs[0].get()) != kQueries)
    return failed("D has the wrong size");

  // A few queries against their whole column, sorted stably.
  for (size_t j : {size_t(0), kQueries / 2, kQueries - 1}) {
    const oracle::Nearest want =
        oracle::nearest(oracle::sample, 1, x1.data(), kReference, &x2[j * kRows], 1, kRows, kK);
    for (size_t rank = 0; rank < kK; ++rank)
      if (D[j * kK + rank] != want.D[rank] || I[j * kK + rank] != want.I[rank])
        return failed("a query's nearest columns are not its column's stable sort");
  }

  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  const double peak = double(usage.ru_maxrss) * 1024;  // Linux counts KiB
  std::printf(
      "nearest_memory: %zu x %zu against %zu x %zu, k %zu: peak resident %.0f MiB "
      "(the table would be %.1f GiB)\n",
      kRows, kReference, kRows, kQueries, kK, peak / (1 << 20),
      double(kReference) * kQueries * sizeof(double) / (1 << 30));
  return peak < kMostBytes ? 0 : failed("the peak resident memory passed 1.5 GiB");
}
