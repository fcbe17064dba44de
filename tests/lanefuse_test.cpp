#include <gtest/gtest.h>

#include "support/arrays.h"
#include "support/oracles.h"

namespace {

using namespace test;

class Lanefuse : public ::testing::Test {
 protected:
  Module mod{"lanefuse"};

  CallResult run(const mxArray *X, const mxArray *v, double d, double opcode, int nlhs = 1) const {
    Array dd = scalar(d), op = scalar(opcode);
    return mod.call(nlhs, {X, v, dd.get(), op.get()});
  }
  std::vector<double> result(const mxArray *X, const mxArray *v, double d, double opcode) const {
    CallResult r = run(X, v, d, opcode);
    EXPECT_TRUE(r.ok) << r.error;
    return r.ok ? values(r.outputs[0].get()) : std::vector<double>{};
  }
};

TEST_F(Lanefuse, DirectionAndVectorShape) {
  Array X = matrix(3, 2), col = matrix(3, 1), row = matrix(1, 2);
  EXPECT_EQ(run(X.get(), row.get(), 2, 1).error, "");
  EXPECT_EQ(run(X.get(), col.get(), 1, 1).error, "");
  // d is truncated toward zero.
  EXPECT_EQ(run(X.get(), col.get(), 1.9, 1).error, "");
  EXPECT_EQ(run(X.get(), row.get(), 2.2, 1).error, "");
}

TEST_F(Lanefuse, OneByOneVectorFitsOnlyMatchingDimension) {
  Array X1 = matrix(1, 3, {1, 2, 3}), X2 = matrix(3, 1, {1, 2, 3});
  Array s = scalar(10);
  EXPECT_EQ(result(X1.get(), s.get(), 1, 1), (std::vector<double>{11, 12, 13}));
  EXPECT_EQ(result(X2.get(), s.get(), 2, 1), (std::vector<double>{11, 12, 13}));
}

TEST_F(Lanefuse, WorkedExamples) {
  Array X = matrix(3, 2, {kNaN, 7, 8, 9, kNaN, -1});
  Array v = matrix(3, 1, {1, 2, 3});
  EXPECT_EQ(result(X.get(), v.get(), 1, 0), (std::vector<double>{1, 2, 3, 1, 2, 3}));

  Array X2 = matrix(2, 2, {1, 3, 2, 4}), v2 = matrix(1, 2, {10, 20});
  EXPECT_EQ(result(X2.get(), v2.get(), 2, 1), (std::vector<double>{11, 13, 22, 24}));
  EXPECT_EQ(result(X2.get(), v2.get(), 2, 2), (std::vector<double>{10, 30, 40, 80}));
  Array v3 = matrix(2, 1, {2, 3});
  EXPECT_EQ(result(X2.get(), v3.get(), 1, 3), (std::vector<double>{2, 3, 2, 4}));
  EXPECT_EQ(result(X2.get(), v3.get(), 1, 4), (std::vector<double>{1, 3, 2, 3}));
}

TEST_F(Lanefuse, OpcodeIsTruncatedAndUnmatchedGivesZeros) {
  Array X = matrix(2, 2, {1, 3, 2, 4}), v = matrix(2, 1, {5, 1});
  const std::vector<double> zeros(4, 0.0);
  for (double op : {5.0, -1.0, kNaN, 1e12, -3e9})
    EXPECT_EQ(result(X.get(), v.get(), 1, op), zeros) << op;
  const std::vector<double> copy{5, 1, 5, 1};
  EXPECT_EQ(result(X.get(), v.get(), 1, 0.5), copy);
  EXPECT_EQ(result(X.get(), v.get(), 1, -0.5), copy);
  EXPECT_EQ(result(X.get(), v.get(), 1, 4.9), (std::vector<double>{1, 1, 2, 1}));  // min
  EXPECT_EQ(result(X.get(), v.get(), 1, 3.2), (std::vector<double>{5, 3, 5, 4}));  // max
}

TEST_F(Lanefuse, TiesAndNaNGiveThePairedElement) {
  // Column form: paired elements are v(i).
  Array X = matrix(4, 1, {0.0, -0.0, kNaN, 5});
  Array v = matrix(4, 1, {-0.0, 0.0, 5, kNaN});
  std::vector<double> mx = result(X.get(), v.get(), 1, 3);
  std::vector<double> mn = result(X.get(), v.get(), 1, 4);
  for (const auto &r : {mx, mn}) {
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(bits(r[0]), bits(-0.0));  // tie: p wins
    EXPECT_EQ(bits(r[1]), bits(0.0));
    EXPECT_EQ(r[2], 5);             // NaN in X is replaced
    EXPECT_TRUE(std::isnan(r[3]));  // NaN in v wins
  }
  // Row form: the same rules with v(j).
  Array Xr = matrix(1, 3, {0.0, kNaN, 2}), vr = matrix(1, 3, {-0.0, 7, kNaN});
  std::vector<double> r = result(Xr.get(), vr.get(), 2, 3);
  EXPECT_EQ(bits(r[0]), bits(-0.0));
  EXPECT_EQ(r[1], 7);
  EXPECT_TRUE(std::isnan(r[2]));
}

TEST_F(Lanefuse, EmptyShapes) {
  struct Case {
    size_t m, n, vm, vn;
    double d;
  };
  for (Case c :
       {Case{0, 4, 0, 1, 1}, Case{3, 0, 1, 0, 2}, Case{0, 4, 1, 4, 2}, Case{0, 0, 0, 1, 1}}) {
    Array X = matrix(c.m, c.n), v = matrix(c.vm, c.vn, std::vector<double>(c.vm * c.vn, 1.0));
    for (double op : {0.0, 1.0, 3.0, 9.0}) {
      CallResult r = run(X.get(), v.get(), c.d, op);
      ASSERT_TRUE(r.ok) << r.error;
      EXPECT_EQ(firstMismatch(r.outputs[0].get(), c.m, c.n, {}), "");
    }
  }
}

// An N-D X is read as m-by-(product of the other dims), and Y takes X's own
// dims: the same elements in the same order as X + v.
TEST_F(Lanefuse, OutputTakesTheDimensionsOfX) {
  std::vector<double> xs(24);
  for (size_t k = 0; k < xs.size(); ++k) xs[k] = double(k);
  Array X = ndArray({2, 3, 4}, xs), col = matrix(2, 1, {100, 200}), row = matrix(1, 12);
  for (double op : {0.0, 1.0, 9.0}) {  // a kernel, and none (zeros)
    CallResult r = run(X.get(), col.get(), 1, op);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(dimsOf(r.outputs[0].get()), (std::vector<mwSize>{2, 3, 4})) << op;
    EXPECT_EQ(firstMismatch(r.outputs[0].get(), 2, 12,
                            oracle::lanefuse(xs.data(), mxGetPr(col.get()), 1, int(op), 2, 12)),
              "");
  }
  CallResult r = run(X.get(), row.get(), 2, 2);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(dimsOf(r.outputs[0].get()), (std::vector<mwSize>{2, 3, 4}));
  Array empty = ndArray({0, 3, 2}, {});
  r = run(empty.get(), matrix(0, 1).get(), 1, 1);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(dimsOf(r.outputs[0].get()), (std::vector<mwSize>{0, 3, 2}));
}

TEST_F(Lanefuse, ResultGoesToFirstSlotWithoutOutputs) {
  Array X = matrix(1, 2, {1, 2}), v = matrix(1, 2, {3, 4});
  CallResult r = run(X.get(), v.get(), 2, 1, 0);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(firstMismatch(r.outputs[0].get(), 1, 2, {4, 6}), "");
}

TEST_F(Lanefuse, MatchesScalarDefinitionOnRandomInputs) {
  std::mt19937_64 rng(20261208);
  std::uniform_int_distribution<size_t> dim(0, 9);
  for (int trial = 0; trial < 400; ++trial) {
    const size_t m = dim(rng) == 0 ? 0 : dim(rng) * 3 + (trial % 5), n = dim(rng);
    const int d = 1 + trial % 2;
    const int op = trial % 6;
    const size_t vlen = d == 1 ? m : n;
    const std::vector<double> xs = specialValues(rng, m * n), vs = specialValues(rng, vlen);
    Array X = matrix(m, n, xs);
    Array v = d == 1 ? matrix(m, 1, vs) : matrix(1, n, vs);
    const std::vector<double> want = oracle::lanefuse(xs.data(), vs.data(), d, op, m, n);
    CallResult r = run(X.get(), v.get(), d, op);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(firstMismatch(r.outputs[0].get(), m, n, want, oracle::laneElement(op)), "")
        << "m=" << m << " n=" << n << " d=" << d << " op=" << op;
  }
}

}  // namespace
