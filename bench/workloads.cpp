#include "workloads.h"

#include <random>

#include "support/arrays.h"

namespace bench {

namespace {

constexpr size_t kSide = 4096;

// Ordinary values: the modules' speed does not depend on them.
test::Array randomMatrix(size_t m, size_t n, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> value(-100.0, 100.0);
  std::vector<double> v(m * n);
  for (double &x : v) x = value(rng);
  return test::matrix(m, n, v);
}

template <class... A>
std::vector<test::Array> args(A &&...a) {
  std::vector<test::Array> v;
  (v.push_back(std::forward<A>(a)), ...);
  return v;
}

}  // namespace

// W3 (meshapply), W4 (sampledist) and W5 (bindist) join this table.
std::vector<Workload> workloads() {
  const double square = double(kSide) * kSide, bytes = square * sizeof(double);
  return {
      {"W1 lanefuse add d=1", "lanefuse",
       [] {
         return args(randomMatrix(kSide, kSide, 1), randomMatrix(kSide, 1, 2), test::scalar(1),
                     test::scalar(1));
       },
       square, bytes},
      {"W1 lanefuse add d=2", "lanefuse",
       [] {
         return args(randomMatrix(kSide, kSide, 1), randomMatrix(1, kSide, 2), test::scalar(2),
                     test::scalar(1));
       },
       square, bytes},
      {"W2 crossfuse sum", "crossfuse",
       [] {
         return args(randomMatrix(kSide, kSide, 1), randomMatrix(1, kSide, 2),
                     randomMatrix(kSide, 1, 3), test::scalar(1));
       },
       square, bytes},
  };
}

}  // namespace bench
