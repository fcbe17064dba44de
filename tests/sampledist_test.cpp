#include <gtest/gtest.h>

#include "support/arrays.h"
#include "support/oracles.h"

namespace {

using namespace test;

class Sampledist : public ::testing::Test {
 protected:
  Module mod{"sampledist"};

  CallResult run(const mxArray *X1, const mxArray *X2, double code, int nlhs = 1) const {
    Array c = scalar(code);
    return mod.call(nlhs, {X1, X2, c.get()});
  }
  std::vector<double> result(const mxArray *X1, const mxArray *X2, double code) const {
    CallResult r = run(X1, X2, code);
    EXPECT_TRUE(r.ok) << r.error;
    return r.ok ? values(r.outputs[0].get()) : std::vector<double>{};
  }
};

TEST_F(Sampledist, CodeIsTruncated) {
  Array X1 = matrix(2, 1, {1, 5}), X2 = matrix(2, 1, {0, 0});
  EXPECT_EQ(result(X1.get(), X2.get(), 2.5), (std::vector<double>{5}));
  EXPECT_EQ(result(X1.get(), X2.get(), 3.99), (std::vector<double>{1}));
  EXPECT_EQ(result(X1.get(), X2.get(), 1.7), (std::vector<double>{6}));
}

TEST_F(Sampledist, WorkedExamples) {
  Array X1 = matrix(2, 2, {1, 3, 2, 4}), X2 = matrix(2, 1, {0, 0});
  CallResult r = run(X1.get(), X2.get(), 1, 0);  // no output requested: still slot 0
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(firstMismatch(r.outputs[0].get(), 2, 1, {4, 6}), "");
  EXPECT_EQ(result(X1.get(), X2.get(), 2), (std::vector<double>{3, 4}));
  EXPECT_EQ(result(X1.get(), X2.get(), 3), (std::vector<double>{1, 2}));

  Array row = matrix(1, 2, {1, 4}), two = scalar(2);
  for (double code : {1.0, 2.0, 3.0})
    EXPECT_EQ(result(row.get(), two.get(), code), (std::vector<double>{1, 2})) << code;
}

TEST_F(Sampledist, SumTakesTermsInRowOrder) {
  // 1e16 + 1 rounds back to 1e16; 1 + 1 + 1e16 does not.
  Array first = matrix(3, 1, {1e16, 1, 1}), last = matrix(3, 1, {1, 1, 1e16});
  Array zero = matrix(3, 1);
  EXPECT_EQ(bits(result(first.get(), zero.get(), 1)[0]), bits(1e16));
  EXPECT_EQ(bits(result(last.get(), zero.get(), 1)[0]), bits(1e16 + 2));
}

TEST_F(Sampledist, NaNOnlyInTheFirstRowSticksForLargestAndSmallest) {
  Array zero = matrix(3, 1);
  Array mid = matrix(3, 1, {1, kNaN, 5}), top = matrix(3, 1, {kNaN, 1, 5});
  EXPECT_TRUE(std::isnan(result(mid.get(), zero.get(), 1)[0]));
  EXPECT_EQ(result(mid.get(), zero.get(), 2)[0], 5);
  EXPECT_EQ(result(mid.get(), zero.get(), 3)[0], 1);
  for (double code : {1.0, 2.0, 3.0})
    EXPECT_TRUE(std::isnan(result(top.get(), zero.get(), code)[0])) << code;

  Array a = matrix(2, 1, {kInf, 1}), b = matrix(2, 1, {kInf, 3});
  for (double code : {1.0, 2.0, 3.0})
    EXPECT_TRUE(std::isnan(result(a.get(), b.get(), code)[0])) << code;
  Array c = matrix(2, 1, {1, kInf}), e = matrix(2, 1, {3, kInf});
  EXPECT_TRUE(std::isnan(result(c.get(), e.get(), 1)[0]));
  EXPECT_EQ(result(c.get(), e.get(), 2)[0], 2);
  EXPECT_EQ(result(c.get(), e.get(), 3)[0], 2);
}

TEST_F(Sampledist, TermsAreNeverNegativeZero) {
  Array a = matrix(2, 1, {-0.0, 0.0}), b = matrix(2, 1, {0.0, -0.0});
  Array a1 = scalar(-0.0), b1 = scalar(0.0);
  for (double code : {1.0, 2.0, 3.0}) {
    EXPECT_EQ(bits(result(a.get(), b.get(), code)[0]), bits(0.0)) << code;
    EXPECT_EQ(bits(result(a1.get(), b1.get(), code)[0]), bits(0.0)) << code;
  }
}

TEST_F(Sampledist, EmptyShapes) {
  struct Case {
    size_t d, n1, n2;
  };
  for (Case c : {Case{3, 0, 4}, Case{3, 4, 0}, Case{0, 0, 2}, Case{2, 0, 0}}) {
    Array X1 = matrix(c.d, c.n1, std::vector<double>(c.d * c.n1, 1.0));
    Array X2 = matrix(c.d, c.n2, std::vector<double>(c.d * c.n2, 2.0));
    for (double code : {1.0, 2.0, 3.0}) {
      CallResult r = run(X1.get(), X2.get(), code);
      ASSERT_TRUE(r.ok) << r.error;
      EXPECT_EQ(firstMismatch(r.outputs[0].get(), c.n1, c.n2, {}), "");
    }
  }
}

TEST_F(Sampledist, NoRowsGiveZerosForEveryCode) {
  // Shape-only inputs: any read of their (absent) data would fault.
  const mwSize d1[2] = {0, 3}, d2[2] = {0, 2};
  Array X1(mxHostCreateShapeOnly(mxDOUBLE_CLASS, 2, d1));
  Array X2(mxHostCreateShapeOnly(mxDOUBLE_CLASS, 2, d2));
  for (double code : {1.0, 2.0, 3.0}) {
    CallResult r = run(X1.get(), X2.get(), code);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(firstMismatch(r.outputs[0].get(), 3, 2, std::vector<double>(6, 0.0)), "") << code;
  }
}

TEST_F(Sampledist, MatchesScalarDefinitionOnRandomInputs) {
  std::mt19937_64 rng(32);
  std::uniform_int_distribution<size_t> dim(0, 9);
  // Terms of very different sizes make the sum depend on the order of additions.
  const double lopsided[] = {1e16, -1e16, 1, -1, 3, 0.5};
  std::uniform_int_distribution<size_t> pick(0, 5);
  for (int trial = 0; trial < 300; ++trial) {
    const size_t d = 1 + dim(rng), n1 = dim(rng), n2 = dim(rng);
    const int code = 1 + trial % 3;
    std::vector<double> x1 = specialValues(rng, d * n1), x2 = specialValues(rng, d * n2);
    if (trial % 2)
      for (std::vector<double> *v : {&x1, &x2})
        for (double &e : *v) e = lopsided[pick(rng)];
    Array X1 = matrix(d, n1, x1), X2 = matrix(d, n2, x2);
    const std::vector<double> want = oracle::sampledist(x1.data(), n1, x2.data(), n2, d, code);
    CallResult r = run(X1.get(), X2.get(), code);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(firstMismatch(r.outputs[0].get(), n1, n2, want), "")
        << "d=" << d << " n1=" << n1 << " n2=" << n2 << " code=" << code;
  }
}

}  // namespace
