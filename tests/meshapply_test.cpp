#include <gtest/gtest.h>

#include "support/arrays.h"
#include "support/oracles.h"

namespace {

using namespace test;

class Meshapply : public ::testing::Test {
 protected:
  Module mod{"meshapply"};

  CallResult run(const mxArray *x, const mxArray *y, double opcode, int nlhs = 1) const {
    Array op = scalar(opcode);
    return mod.call(nlhs, {x, y, op.get()});
  }
  std::vector<double> result(const mxArray *x, const mxArray *y, double opcode) const {
    CallResult r = run(x, y, opcode);
    EXPECT_TRUE(r.ok) << r.error;
    return r.ok ? values(r.outputs[0].get()) : std::vector<double>{};
  }
};

TEST_F(Meshapply, OpcodeIsTruncated) {
  Array x = matrix(1, 2, {1, 5}), y = scalar(3);
  EXPECT_EQ(result(x.get(), y.get(), 5.9), (std::vector<double>{1, 3}));  // min
  EXPECT_EQ(result(x.get(), y.get(), 1.2), (std::vector<double>{4, 8}));  // sum
}

TEST_F(Meshapply, WorkedExamplesIgnoreInputShapes) {
  Array row = matrix(1, 3, {1, 2, 3}), col = matrix(2, 1, {10, 20});
  CallResult r = run(row.get(), col.get(), 1);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(firstMismatch(r.outputs[0].get(), 3, 2, {11, 12, 13, 21, 22, 23}), "");

  Array sq = matrix(2, 2, {1, 2, 3, 4}), five = scalar(5);
  r = run(sq.get(), five.get(), 2);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(firstMismatch(r.outputs[0].get(), 4, 1, {5, 10, 15, 20}), "");

  // With no output requested the result still goes to the first slot.
  Array x = matrix(1, 2, {1, 5}), three = scalar(3);
  r = run(x.get(), three.get(), 3, 0);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(firstMismatch(r.outputs[0].get(), 2, 1, {2, 2}), "");
}

TEST_F(Meshapply, AbsoluteDifferenceNeverGivesNegativeZero) {
  Array x = matrix(1, 3, {-0.0, 0.0, -0.0}), y = matrix(1, 2, {0.0, -0.0});
  for (double v : result(x.get(), y.get(), 3)) EXPECT_EQ(bits(v), bits(0.0));
  Array nan = scalar(kNaN), one = scalar(1);
  EXPECT_TRUE(std::isnan(result(nan.get(), one.get(), 3)[0]));
  Array inf = scalar(kInf);
  EXPECT_TRUE(std::isnan(result(inf.get(), inf.get(), 3)[0]));
}

TEST_F(Meshapply, MaxAndMinTakeYOnTiesAndNaN) {
  Array x = matrix(1, 3, {1, kNaN, 3}), y = matrix(1, 2, {2, kNaN});
  std::vector<double> mx = result(x.get(), y.get(), 4), mn = result(x.get(), y.get(), 5);
  ASSERT_EQ(mx.size(), 6u);
  ASSERT_EQ(mn.size(), 6u);
  EXPECT_EQ((std::vector<double>{mx[0], mx[1], mx[2]}), (std::vector<double>{2, 2, 3}));
  EXPECT_EQ((std::vector<double>{mn[0], mn[1], mn[2]}), (std::vector<double>{1, 2, 2}));
  for (size_t k = 3; k < 6; ++k) {
    EXPECT_TRUE(std::isnan(mx[k])) << k;
    EXPECT_TRUE(std::isnan(mn[k])) << k;
  }
  Array pz = scalar(0.0), nz = scalar(-0.0);
  for (double op : {4.0, 5.0}) {
    EXPECT_EQ(bits(result(pz.get(), nz.get(), op)[0]), bits(-0.0)) << op;
    EXPECT_EQ(bits(result(nz.get(), pz.get(), op)[0]), bits(0.0)) << op;
  }
}

TEST_F(Meshapply, EmptyInputsGiveEmptyTables) {
  struct Case {
    size_t xm, xn, ym, yn, m, n;
  };
  for (Case c : {Case{0, 0, 1, 3, 0, 3}, Case{2, 2, 0, 5, 4, 0}, Case{1, 0, 0, 1, 0, 0}}) {
    Array x = matrix(c.xm, c.xn, std::vector<double>(c.xm * c.xn, 1.0));
    Array y = matrix(c.ym, c.yn, std::vector<double>(c.ym * c.yn, 2.0));
    for (double op = 1; op <= 5; ++op) {
      CallResult r = run(x.get(), y.get(), op);
      ASSERT_TRUE(r.ok) << r.error;
      EXPECT_EQ(firstMismatch(r.outputs[0].get(), c.m, c.n, {}), "") << op;
    }
  }
}

TEST_F(Meshapply, MatchesScalarDefinitionOnRandomInputs) {
  std::mt19937_64 rng(31);
  std::uniform_int_distribution<size_t> dim(0, 7);
  for (int trial = 0; trial < 300; ++trial) {
    const size_t xm = dim(rng), xn = dim(rng) % 3, ym = dim(rng) % 3, yn = dim(rng);
    const int op = 1 + trial % 5;
    const std::vector<double> xs = specialValues(rng, xm * xn), ys = specialValues(rng, ym * yn);
    Array x = matrix(xm, xn, xs), y = matrix(ym, yn, ys);
    const std::vector<double> want =
        oracle::meshapply(xs.data(), xs.size(), ys.data(), ys.size(), op);
    CallResult r = run(x.get(), y.get(), op);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(
        firstMismatch(r.outputs[0].get(), xs.size(), ys.size(), want, oracle::meshElement(op)), "")
        << "x " << xm << "x" << xn << " y " << ym << "x" << yn << " op=" << op;
  }
}

}  // namespace
