#include "workloads.h"

#include <cmath>
#include <random>

#include "module_loader.h"

namespace bench {

namespace {

constexpr size_t kSide = 4096;

// Ordinary values: the modules' speed does not depend on them.
mexhost::Array randomMatrix(size_t m, size_t n, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> value(-100.0, 100.0);
  std::vector<double> v(m * n);
  for (double &x : v) x = value(rng);
  return mexhost::matrix(m, n, v);
}

// A pairwise module on two d-row matrices of non-negative values (histograms
// for bindist): its elements are the d * N1 * N2 terms. With k > 0, a
// nearest-column module, whose fourth argument is k.
Workload pairwise(const char *name, const char *module, size_t d, size_t N1, size_t N2, int code,
                  double k = 0) {
  auto inputs = [=] {
    std::mt19937_64 rng(d);
    std::uniform_real_distribution<double> value(0.0, 1.0);
    std::vector<double> a(d * N1), b(d * N2);
    for (double &x : a) x = value(rng);
    for (double &x : b) x = value(rng);
    std::vector<mexhost::Array> in = mexhost::arrays(
        mexhost::matrix(d, N1, a), mexhost::matrix(d, N2, b), mexhost::scalar(code));
    if (k > 0) in.push_back(mexhost::scalar(k));
    return in;
  };
  const double rows = k > 0 ? std::fmin(k, N1) : N1;
  return {name, module, inputs, double(d) * N1 * N2, rows * N2 * sizeof(double), "terms"};
}

}  // namespace

std::vector<Workload> workloads() {
  const double square = double(kSide) * kSide, bytes = square * sizeof(double);
  return {
      {"W1 lanefuse add d=1", "lanefuse",
       [] {
         return mexhost::arrays(randomMatrix(kSide, kSide, 1), randomMatrix(kSide, 1, 2),
                                mexhost::scalar(1), mexhost::scalar(1));
       },
       square, bytes},
      {"W1 lanefuse add d=2", "lanefuse",
       [] {
         return mexhost::arrays(randomMatrix(kSide, kSide, 1), randomMatrix(1, kSide, 2),
                                mexhost::scalar(2), mexhost::scalar(1));
       },
       square, bytes},
      {"W2 crossfuse sum", "crossfuse",
       [] {
         return mexhost::arrays(randomMatrix(kSide, kSide, 1), randomMatrix(1, kSide, 2),
                                randomMatrix(kSide, 1, 3), mexhost::scalar(1));
       },
       square, bytes},
      {"W3 meshapply sum", "meshapply",
       [] {
         return mexhost::arrays(randomMatrix(kSide, 1, 1), randomMatrix(1, kSide, 2),
                                mexhost::scalar(1));
       },
       square, bytes},
      {"W3 meshapply absdiff", "meshapply",
       [] {
         return mexhost::arrays(randomMatrix(kSide, 1, 1), randomMatrix(1, kSide, 2),
                                mexhost::scalar(3));
       },
       square, bytes},
      pairwise("W4a sampledist L1", "sampledist", 128, 2000, 2000, 1),
      pairwise("W4a sampledist Linf", "sampledist", 128, 2000, 2000, 2),
      pairwise("W4b sampledist L1", "sampledist", 3, 4000, 4000, 1),
      pairwise("W5 bindist intersection", "bindist", 256, 1000, 1000, 1),
      pairwise("W5 bindist chi2", "bindist", 256, 1000, 1000, 2),
      pairwise("W5 bindist log", "bindist", 256, 300, 300, 3),
      // Calls of 64 x 64, which stay on the calling thread.
      {"S lanefuse add 64x64", "lanefuse",
       [] {
         return mexhost::arrays(randomMatrix(64, 64, 1), randomMatrix(64, 1, 2), mexhost::scalar(1),
                                mexhost::scalar(1));
       },
       64.0 * 64, 64.0 * 64 * sizeof(double)},
      pairwise("S sampledist L1 64x64", "sampledist", 64, 64, 64, 1),
      pairwise("S bindist chi2 64x64", "bindist", 64, 64, 64, 2),
      // Each query's nearest columns, and the tables of the same calls.
      pairwise("W6a sampleknn L1 k=10", "sampleknn", 128, 100000, 10000, 1, 10),
      pairwise("W6b binknn chi2 k=5", "binknn", 64, 50000, 5000, 2, 5),
      pairwise("K sampleknn L1 k=10", "sampleknn", 128, 50000, 2000, 1, 10),
      pairwise("K sampleknn L1 k=16", "sampleknn", 128, 50000, 2000, 1, 16),
      pairwise("K sampleknn L1 k=100", "sampleknn", 128, 50000, 2000, 1, 100),
      pairwise("K sampledist L1", "sampledist", 128, 50000, 2000, 1),
      pairwise("K binknn chi2 k=5", "binknn", 64, 50000, 1000, 2, 5),
      pairwise("K bindist chi2", "bindist", 64, 50000, 1000, 2),
  };
}

std::vector<Workload> shapeSweep() {
  struct Sweep {
    const char *module, *what;
    int code;
    size_t d, side;  // the square's side
    std::vector<int> tallness;
  };
  const std::vector<Sweep> sweeps = {
      {"sampledist", "L1", 1, 3, 4000, {1, 25, -25, 400}},
      {"sampledist", "L1", 1, 16, 3000, {1, 25, -25}},
      {"sampledist", "L1", 1, 128, 2000, {1, 25, -25}},
      {"sampledist", "L1", 1, 1000, 1500, {1, 25, -25}},
      {"bindist", "intersection", 1, 128, 2000, {1, 25, -25}},
      {"meshapply", "sum", 1, 1, 4000, {1, 25, -25, 400}},
  };
  std::vector<Workload> w;
  for (const Sweep &s : sweeps)
    for (int t : s.tallness) {
      // N1 * N2 stays side^2: t times taller than wide, or -t times wider.
      const double ratio = t > 0 ? t : -1.0 / t;
      const size_t N1 = size_t(s.side * std::sqrt(ratio) + 0.5), N2 = s.side * s.side / N1;
      const std::string name = std::string("shape ") + s.module + " " + s.what +
                               " d=" + std::to_string(s.d) + " " + std::to_string(N1) + "x" +
                               std::to_string(N2);
      if (std::string(s.module) == "meshapply")
        w.push_back({name, s.module,
                     [=] {
                       return mexhost::arrays(randomMatrix(N1, 1, 1), randomMatrix(1, N2, 2),
                                              mexhost::scalar(s.code));
                     },
                     double(N1) * N2, double(N1) * N2 * sizeof(double)});
      else
        w.push_back(pairwise(name.c_str(), s.module, s.d, N1, N2, s.code));
    }
  return w;
}

}  // namespace bench
