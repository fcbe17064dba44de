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

}  // namespace
