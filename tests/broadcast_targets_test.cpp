// Every instruction-set variant of the broadcast kernels this machine can run
// against the plain definition, bit for bit: shapes around the vector widths
// and the four-column groups, every alignment of the data, outputs large
// enough for streaming stores, and the special values of double arithmetic.
#include <gtest/gtest.h>

#include <functional>

#include "broadcast/crossfuse_kernels.h"
#include "broadcast/lanefuse_kernels.h"
#include "support/arrays.h"
#include "support/oracles.h"
#include "support/variants.h"

namespace {

using namespace test;

struct Shape {
  int32_t m, n;
  size_t offset;  // alignment of X, v and Y, in doubles past 64 bytes
};

std::vector<Shape> shapes() {
  std::vector<Shape> s;
  // Row counts straddle the lanes of every target; column counts the groups
  // of four and eight columns the kernels take at once.
  for (int32_t m : {0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 64, 65})
    for (int32_t n : {0, 1, 3, 4, 5, 8, 9, 17}) s.push_back({m, n, size_t(m + n) % 8});
  // Streaming stores: odd rows give every column its own alignment; a whole
  // number of vectors per column groups them, with a column left over.
  s.push_back({1031, 1024, 3});
  s.push_back({1024, 1025, 1});
  s.push_back({1024, 1024, 0});
  return s;
}

const std::vector<double> &pool() {
  static const std::vector<double> values = [] {
    std::mt19937_64 rng(88);
    return specialValues(rng, 1056 * 1056);
  }();
  return values;
}

void checkLane(simd::Target t, int op, int32_t d, const Shape &s) {
  const LaneKernel kernel = lanefuseKernels(t).at(op);
  const size_t count = size_t(s.m) * s.n, vlen = d == 1 ? s.m : s.n;
  Buffer X(count, s.offset, 0.0), v(vlen, (s.offset + 5) % 8, 0.0), Y(count, s.offset);
  std::copy(pool().begin(), pool().begin() + count, X.data);
  std::copy(pool().end() - vlen, pool().end(), v.data);
  inBlocks(s.n,
           [&](int32_t j0, int32_t j1) { kernel(d, X.data, v.data, Y.data, s.m, s.n, j0, j1); });
  for (int32_t j = 0; j < s.n; ++j)
    for (int32_t i = 0; i < s.m; ++i) {
      const size_t k = i + size_t(j) * s.m;
      const double want = oracle::lane(op, X.data[k], v.data[d == 1 ? i : j]);
      ASSERT_TRUE(sameResult(Y.data[k], want, oracle::laneElement(op)))
          << simd::targetName(t) << " op " << op << " d " << d << " m " << s.m << " n " << s.n
          << " at (" << i << ", " << j << "): " << Y.data[k] << " want " << want;
    }
  Y.expectGuardIntact(count);
}

void checkCross(simd::Target t, int op, const Shape &s) {
  const CrossKernel kernel = crossfuseKernels(t).at(op);
  const size_t count = size_t(s.m) * s.n;
  Buffer X(count, s.offset, 0.0), row(s.n, 7, 0.0), col(s.m, 2, 0.0), Y(count, s.offset);
  std::copy(pool().begin(), pool().begin() + count, X.data);
  std::copy(pool().end() - s.n, pool().end(), row.data);
  std::copy(pool().end() - s.n - s.m, pool().end() - s.n, col.data);
  inBlocks(s.n, [&](int32_t j0, int32_t j1) {
    kernel(X.data, row.data, col.data, Y.data, s.m, s.n, j0, j1);
  });
  for (int32_t j = 0; j < s.n; ++j)
    for (int32_t i = 0; i < s.m; ++i) {
      const size_t k = i + size_t(j) * s.m;
      const double r = row.data[j], x = X.data[k], c = col.data[i];
      const double want = oracle::cross(op, r, x, c);
      ASSERT_TRUE(sameResult(Y.data[k], want))
          << simd::targetName(t) << " op " << op << " m " << s.m << " n " << s.n << " at (" << i
          << ", " << j << "): " << Y.data[k] << " want " << want;
    }
  Y.expectGuardIntact(count);
}

TEST(BroadcastTargets, LanefuseMatchesDefinitionOnEveryTarget) {
  for (simd::Target t : runnableTargets())
    for (const Shape &s : shapes())
      for (int32_t d : {1, 2})
        for (int32_t op : codesOf(lanefuseKernels(t))) {
          checkLane(t, op, d, s);
          if (HasFatalFailure()) return;
        }
}

TEST(BroadcastTargets, CrossfuseMatchesDefinitionOnEveryTarget) {
  for (simd::Target t : runnableTargets())
    for (const Shape &s : shapes())
      for (int32_t op : codesOf(crossfuseKernels(t))) {
        checkCross(t, op, s);
        if (HasFatalFailure()) return;
      }
}

// The rules that tell max and min apart from the instructions' own habits:
// the vector's element wins ties (also between zeros of opposite sign) and
// whenever either operand is NaN, in every lane and in the edge elements.
TEST(BroadcastTargets, MaxMinTiesAndNaNTakeTheVectorElement) {
  const double xs[] = {0.0, -0.0, kNaN, 5, 1, kNaN, -kInf, 2};
  const double ps[] = {-0.0, 0.0, 5, kNaN, 1, -kNaN, -kInf, kNaN};
  for (simd::Target t : runnableTargets())
    for (int32_t m : {8, 9, 17}) {
      std::vector<double> X(m * 2), v(m), Y(m * 2);
      for (int32_t k = 0; k < m * 2; ++k) X[k] = xs[k % 8];
      for (int32_t k = 0; k < m; ++k) v[k] = ps[k % 8];
      for (int op : {3, 4}) {
        lanefuseKernels(t).at(op)(1, X.data(), v.data(), Y.data(), m, 2, 0, 2);
        for (int32_t k = 0; k < m * 2; ++k) {
          const double x = X[k], p = v[k % m];
          const bool pairedWins = x == p || std::isnan(x) || std::isnan(p);
          EXPECT_EQ(bits(Y[k]), bits(pairedWins ? p : oracle::lane(op, x, p)))
              << simd::targetName(t) << " op " << op << " m " << m << " k " << k;
        }
      }
    }
}

// lanefuse(NaN(7,1), -NaN(7,1), 1, op) and its row form. Where the
// definition gives NaN every target gives NaN, but which operand's NaN an add
// or multiply keeps, and so its sign and payload, differs between targets
// (and with the operand order the compiler picks): no bits are promised.
// Copy, max and min select v's NaN, bits and all. The NaN in X carries a
// payload of its own, so that a NaN taken from the wrong operand shows.
TEST(BroadcastTargets, NaNOperandsGiveNaNAndSelectedNaNsKeepTheirBits) {
  const uint64_t payloadBits = 0x7ff8000000000123ull;
  double payload;
  std::memcpy(&payload, &payloadBits, sizeof payload);
  for (simd::Target t : runnableTargets()) {
    std::vector<double> X(7, payload), v(7, -kNaN), Y(7);
    for (int32_t d : {1, 2})
      for (int32_t op : codesOf(lanefuseKernels(t))) {
        const int32_t m = d == 1 ? 7 : 1, n = d == 1 ? 1 : 7;
        lanefuseKernels(t).at(op)(d, X.data(), v.data(), Y.data(), m, n, 0, n);
        for (int k = 0; k < 7; ++k) {
          if (oracle::laneElement(op) == Element::kComputed)
            EXPECT_TRUE(std::isnan(Y[k])) << simd::targetName(t) << " op " << op << " k " << k;
          else
            EXPECT_EQ(bits(Y[k]), bits(v[k])) << simd::targetName(t) << " op " << op << " k " << k;
        }
      }
    std::vector<double> row(7, -kNaN), col(1, kNaN);
    for (int32_t op : codesOf(crossfuseKernels(t))) {
      crossfuseKernels(t).at(op)(X.data(), row.data(), col.data(), Y.data(), 1, 7, 0, 7);
      for (int k = 0; k < 7; ++k)
        EXPECT_TRUE(std::isnan(Y[k])) << simd::targetName(t) << " op " << op;
    }
  }
}

}  // namespace
