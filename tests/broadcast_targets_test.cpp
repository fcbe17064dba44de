// Every instruction-set variant of the broadcast kernels this machine can run
// against the plain definition, bit for bit, on doubles and on floats: shapes
// around the vector widths and the four-column groups, every alignment of the
// data, outputs large enough for streaming stores, and the special values of
// each class's arithmetic.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "broadcast/crossfuse_kernels.h"
#include "broadcast/lanefuse_kernels.h"
#include "support/arrays.h"
#include "support/oracles.h"
#include "support/variants.h"

namespace {

using namespace test;

struct Shape {
  int32_t m, n;
  size_t offset;  // alignment of X, v and Y, in elements past 64 bytes
};

// Streaming stores start at 8 MiB of output: twice the elements for floats.
template <class T>
constexpr int32_t kStreamScale = sizeof(double) / sizeof(T);

template <class T>
std::vector<Shape> shapes() {
  std::vector<Shape> s;
  // Row counts straddle the lanes of every target (up to 16 floats) and a
  // cache line of floats; column counts the groups of four and eight columns
  // the kernels take at once. Offsets reach every element of a cache line.
  for (int32_t m : {0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 64, 65})
    for (int32_t n : {0, 1, 3, 4, 5, 8, 9, 17}) s.push_back({m, n, size_t(m + n) % 16});
  // Streaming stores: odd rows give every column its own alignment; a whole
  // number of vectors per column groups them, with a column left over.
  const int32_t rows = 1024 * kStreamScale<T>;
  s.push_back({rows + 7, 1024, 3});
  s.push_back({rows, 1025, 1});
  s.push_back({rows, 1024, 0});
  return s;
}

template <class T>
const std::vector<T> &pool() {
  static const std::vector<T> values = [] {
    std::mt19937_64 rng(88);
    return specialValues<T>(rng, size_t(1056 * kStreamScale<T>) * 1056);
  }();
  return values;
}

template <class T>
void checkLane(simd::Target t, int op, int32_t d, const Shape &s) {
  const LaneKernel<T> kernel = lanefuseKernels<T>(t).at(op);
  const size_t count = size_t(s.m) * s.n, vlen = d == 1 ? s.m : s.n;
  Buffer<T> X(count, s.offset, T(0)), v(vlen, (s.offset + 5) % 16, T(0)), Y(count, s.offset);
  std::copy(pool<T>().begin(), pool<T>().begin() + count, X.data);
  std::copy(pool<T>().end() - vlen, pool<T>().end(), v.data);
  inBlocks(s.n,
           [&](int32_t j0, int32_t j1) { kernel(d, X.data, v.data, Y.data, s.m, s.n, j0, j1); });
  for (int32_t j = 0; j < s.n; ++j)
    for (int32_t i = 0; i < s.m; ++i) {
      const size_t k = i + size_t(j) * s.m;
      const T want = oracle::lane(op, X.data[k], v.data[d == 1 ? i : j]);
      ASSERT_TRUE(sameResult(Y.data[k], want, oracle::laneElement(op)))
          << className<T>() << " on " << simd::targetName(t) << " op " << op << " d " << d << " m "
          << s.m << " n " << s.n << " at (" << i << ", " << j << "): " << Y.data[k] << " want "
          << want;
    }
  Y.expectGuardIntact(count);
}

template <class T>
void checkCross(simd::Target t, int op, const Shape &s) {
  const CrossKernel<T> kernel = crossfuseKernels<T>(t).at(op);
  const size_t count = size_t(s.m) * s.n;
  Buffer<T> X(count, s.offset, T(0)), row(s.n, 7, T(0)), col(s.m, 2, T(0)), Y(count, s.offset);
  std::copy(pool<T>().begin(), pool<T>().begin() + count, X.data);
  std::copy(pool<T>().end() - s.n, pool<T>().end(), row.data);
  std::copy(pool<T>().end() - s.n - s.m, pool<T>().end() - s.n, col.data);
  inBlocks(s.n, [&](int32_t j0, int32_t j1) {
    kernel(X.data, row.data, col.data, Y.data, s.m, s.n, j0, j1);
  });
  for (int32_t j = 0; j < s.n; ++j)
    for (int32_t i = 0; i < s.m; ++i) {
      const size_t k = i + size_t(j) * s.m;
      const T r = row.data[j], x = X.data[k], c = col.data[i];
      const T want = oracle::cross(op, r, x, c);
      ASSERT_TRUE(sameResult(Y.data[k], want))
          << className<T>() << " on " << simd::targetName(t) << " op " << op << " m " << s.m
          << " n " << s.n << " at (" << i << ", " << j << "): " << Y.data[k] << " want " << want;
    }
  Y.expectGuardIntact(count);
}

TEST(BroadcastTargets, LanefuseMatchesDefinitionOnEveryTarget) {
  forEachClass([&](auto zero) {
    using T = decltype(zero);
    for (simd::Target t : runnableTargets())
      for (const Shape &s : shapes<T>())
        for (int32_t d : {1, 2})
          for (int32_t op : codesOf(lanefuseKernels<T>(t))) {
            checkLane<T>(t, op, d, s);
            if (HasFatalFailure()) return;
          }
  });
}

TEST(BroadcastTargets, CrossfuseMatchesDefinitionOnEveryTarget) {
  forEachClass([&](auto zero) {
    using T = decltype(zero);
    for (simd::Target t : runnableTargets())
      for (const Shape &s : shapes<T>())
        for (int32_t op : codesOf(crossfuseKernels<T>(t))) {
          checkCross<T>(t, op, s);
          if (HasFatalFailure()) return;
        }
  });
}

// Each sum and product of crossfuse on floats is rounded to float, the
// partial result too: in these cases one rounding of the whole, as double
// arithmetic would make, gives another float. (1 + 2^-24) + 2^-24 rounds to
// even twice and stays 1; (1 + 2^-22)(1 - 2^-23) rounds up to 1 + 2^-23,
// whose product with 1.5 is then a tie.
TEST(BroadcastTargets, CrossfuseRoundsEachStepOfSingles) {
  struct Case {
    int op;
    float r, x, c;
  };
  for (const Case &e :
       {Case{1, 1.0f, 0x1p-24f, 0x1p-24f}, Case{2, 1.0f + 0x1p-22f, 1.0f - 0x1p-23f, 1.5f}}) {
    const float want = oracle::cross(e.op, e.r, e.x, e.c);
    ASSERT_NE(bits(want), bits(float(oracle::cross<double>(e.op, e.r, e.x, e.c))));
    for (simd::Target t : runnableTargets())
      for (int32_t m : {1, 17, 33}) {
        const std::vector<float> X(m, e.x), row(1, e.r), col(m, e.c);
        std::vector<float> Y(m);
        crossfuseKernels<float>(t).at(e.op)(X.data(), row.data(), col.data(), Y.data(), m, 1, 0, 1);
        for (int32_t i = 0; i < m; ++i)
          EXPECT_EQ(bits(Y[i]), bits(want))
              << simd::targetName(t) << " op " << e.op << " m " << m << " i " << i;
      }
  }
}

// The rules that tell max and min apart from the instructions' own habits:
// the vector's element wins ties (also between zeros of opposite sign) and
// whenever either operand is NaN, in every lane and in the edge elements.
TEST(BroadcastTargets, MaxMinTiesAndNaNTakeTheVectorElement) {
  forEachClass([&](auto zero) {
    using T = decltype(zero);
    const T nan = std::numeric_limits<T>::quiet_NaN(), inf = std::numeric_limits<T>::infinity();
    const T xs[] = {T(0), -T(0), nan, 5, 1, nan, -inf, 2};
    const T ps[] = {-T(0), T(0), 5, nan, 1, -nan, -inf, nan};
    for (simd::Target t : runnableTargets())
      for (int32_t m : {8, 9, 16, 17, 33}) {
        std::vector<T> X(m * 2), v(m), Y(m * 2);
        for (int32_t k = 0; k < m * 2; ++k) X[k] = xs[k % 8];
        for (int32_t k = 0; k < m; ++k) v[k] = ps[k % 8];
        for (int op : {3, 4}) {
          lanefuseKernels<T>(t).at(op)(1, X.data(), v.data(), Y.data(), m, 2, 0, 2);
          for (int32_t k = 0; k < m * 2; ++k) {
            const T x = X[k], p = v[k % m];
            const bool pairedWins = x == p || std::isnan(x) || std::isnan(p);
            EXPECT_EQ(bits(Y[k]), bits(pairedWins ? p : oracle::lane(op, x, p)))
                << className<T>() << " on " << simd::targetName(t) << " op " << op << " m " << m
                << " k " << k;
          }
        }
      }
  });
}

// lanefuse(NaN(7,1), -NaN(7,1), 1, op) and its row form. Where the
// definition gives NaN every target gives NaN, but which operand's NaN an add
// or multiply keeps, and so its sign and payload, differs between targets
// (and with the operand order the compiler picks): no bits are promised.
// Copy, max and min select v's NaN, bits and all. The NaN in X carries a
// payload of its own, so that a NaN taken from the wrong operand shows.
TEST(BroadcastTargets, NaNOperandsGiveNaNAndSelectedNaNsKeepTheirBits) {
  forEachClass([&](auto zero) {
    using T = decltype(zero);
    const T nan = std::numeric_limits<T>::quiet_NaN();
    T payload = nan;
    if constexpr (sizeof(T) == sizeof(double)) {
      const uint64_t payloadBits = 0x7ff8000000000123ull;
      std::memcpy(&payload, &payloadBits, sizeof payload);
    } else {
      const uint32_t payloadBits = 0x7fc00123u;
      std::memcpy(&payload, &payloadBits, sizeof payload);
    }
    for (simd::Target t : runnableTargets()) {
      std::vector<T> X(7, payload), v(7, -nan), Y(7);
      for (int32_t d : {1, 2})
        for (int32_t op : codesOf(lanefuseKernels<T>(t))) {
          const int32_t m = d == 1 ? 7 : 1, n = d == 1 ? 1 : 7;
          lanefuseKernels<T>(t).at(op)(d, X.data(), v.data(), Y.data(), m, n, 0, n);
          for (int k = 0; k < 7; ++k) {
            if (oracle::laneElement(op) == Element::kComputed)
              EXPECT_TRUE(std::isnan(Y[k]))
                  << className<T>() << " on " << simd::targetName(t) << " op " << op;
            else
              EXPECT_EQ(bits(Y[k]), bits(v[k]))
                  << className<T>() << " on " << simd::targetName(t) << " op " << op;
          }
        }
      std::vector<T> row(7, -nan), col(1, nan);
      for (int32_t op : codesOf(crossfuseKernels<T>(t))) {
        crossfuseKernels<T>(t).at(op)(X.data(), row.data(), col.data(), Y.data(), 1, 7, 0, 7);
        for (int k = 0; k < 7; ++k)
          EXPECT_TRUE(std::isnan(Y[k]))
              << className<T>() << " on " << simd::targetName(t) << " op " << op;
      }
    }
  });
}

}  // namespace
