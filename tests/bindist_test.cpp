#include <gtest/gtest.h>

#include "support/arrays.h"
#include "support/oracles.h"

namespace {

using namespace test;

class Bindist : public ::testing::Test {
 protected:
  Module mod{"bindist"};

  CallResult run(const mxArray *H1, const mxArray *H2, double mcode, int nlhs = 1) const {
    Array c = scalar(mcode);
    return mod.call(nlhs, {H1, H2, c.get()});
  }
  std::vector<double> result(const mxArray *H1, const mxArray *H2, double mcode) const {
    CallResult r = run(H1, H2, mcode);
    EXPECT_TRUE(r.ok) << r.error;
    return r.ok ? values(r.outputs[0].get()) : std::vector<double>{};
  }
  double one(std::initializer_list<double> h1, std::initializer_list<double> h2,
             double mcode) const {
    Array H1 = matrix(h1.size(), 1, h1), H2 = matrix(h2.size(), 1, h2);
    const std::vector<double> r = result(H1.get(), H2.get(), mcode);
    return r.size() == 1 ? r[0] : -12345.0;
  }
};

using oracle::xlogx;

TEST_F(Bindist, McodeIsTruncatedAndThreeIsAccepted) {
  const double divergence = 2 * std::log(2.0);
  EXPECT_NEAR(one({1, 0}, {0, 1}, 3), divergence, 1e-15);
  EXPECT_NEAR(one({1, 0}, {0, 1}, 3.9), divergence, 1e-15);
  EXPECT_EQ(one({1, 2, 3}, {2, 2, 2}, 1.5), 1.0 - 5.0 / 6.0);
}

TEST_F(Bindist, WorkedExamples) {
  EXPECT_EQ(bits(one({1, 2, 3}, {2, 2, 2}, 1)), bits(1.0 - 5.0 / 6.0));
  EXPECT_EQ(bits(one({1, 2, 3}, {2, 2, 2}, 2)), bits(((0.0 + 1.0 / 6.0) + 0.0) + 0.1));
  EXPECT_EQ(one({1, 0}, {0, 1}, 1), 1.0);
  EXPECT_EQ(one({1, 0}, {0, 1}, 2), 1.0);
  const double bin = 0.0 - xlogx(0.5) * 2.0;
  EXPECT_EQ(bits(one({1, 0}, {0, 1}, 3)), bits((0.0 + bin) + bin));

  // Columns are free: 3-by-2 against 3-by-5 gives 2-by-5, H1's column fastest.
  Array H1 = matrix(3, 2, {1, 0, 0, 0, 1, 0});
  Array H2 = matrix(3, 5, {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 0, 1, 1, 1});
  CallResult r = run(H1.get(), H2.get(), 1, 0);  // no output requested: still slot 0
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(firstMismatch(r.outputs[0].get(), 2, 5,
                          {0, 1, 1, 0, 1, 1, 0.5, 0.5, 1 - 1.0 / 3, 1 - 1.0 / 3}),
            "");
}

TEST_F(Bindist, IdenticalColumnsGiveExactZeroOrNaNForEmptyBins) {
  EXPECT_EQ(bits(one({0.3, 1.7, 2e5}, {0.3, 1.7, 2e5}, 1)), bits(0.0));
  EXPECT_EQ(bits(one({0.3, 1.7, 2e5}, {0.3, 1.7, 2e5}, 2)), bits(0.0));
  EXPECT_EQ(bits(one({0.3, 1.7, 2e5}, {0.3, 1.7, 2e5}, 3)), bits(0.0));
  EXPECT_TRUE(std::isnan(one({0.3, 0, 2}, {0.3, 0, 2}, 2)));  // 0/0, no guard
  EXPECT_EQ(one({2, -1}, {1, 1}, 2), kInf);                   // a = -b gives 4/0
}

TEST_F(Bindist, ZeroColumnSumAndNaNUnderIntersection) {
  EXPECT_TRUE(std::isnan(one({1, 2}, {0, 0}, 1)));
  EXPECT_EQ(one({1, -2}, {0, 0}, 1), kInf);
  // A NaN in H1 gives way to H2's value; a NaN in H2 reaches its whole column.
  EXPECT_EQ(one({kNaN, 1}, {2, 2}, 1), 1.0 - 3.0 / 4.0);
  Array H1 = matrix(2, 2, {1, 1, 3, 3}), H2 = matrix(2, 2, {1, 1, kNaN, 1});
  std::vector<double> r = result(H1.get(), H2.get(), 1);
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0], 0.0);
  EXPECT_EQ(r[1], 1.0 - 2.0 / 2.0);  // H2 smaller in both bins
  EXPECT_TRUE(std::isnan(r[2]));
  EXPECT_TRUE(std::isnan(r[3]));
}

TEST_F(Bindist, XlogxIsZeroForZeroNegativeAndNaN) {
  const double three = xlogx(3.0), one_ = xlogx(1.0), half = xlogx(1.5);
  EXPECT_EQ(bits(one({-1}, {3}, 3)), bits(0.0 + ((0.0 + three) - one_ * 2.0)));
  EXPECT_EQ(bits(one({0}, {3}, 3)), bits(0.0 + ((0.0 + three) - half * 2.0)));
  // The mean is NaN too, and its xlogx term 0 as well.
  EXPECT_EQ(bits(one({kNaN}, {3}, 3)), bits(0.0 + ((0.0 + three) - 0.0 * 2.0)));
  EXPECT_EQ(bits(one({0}, {0}, 3)), bits(0.0));
  EXPECT_EQ(bits(one({-2}, {-3}, 3)), bits(0.0));
}

TEST_F(Bindist, SumsTakeBinsInOrderFromPositiveZero) {
  // Chi-square against zeros gives a/2 per bin: 5e15 + 0.5 rounds back to 5e15.
  EXPECT_EQ(bits(one({1e16, 1, 1}, {0, 0, 0}, 2)), bits(5e15));
  EXPECT_EQ(bits(one({1, 1, 1e16}, {0, 0, 0}, 2)), bits(5e15 + 1));
  // Column sums too: 1e16 + 1 + 1 stays 1e16, so H1 = H2 gives exactly 0.
  EXPECT_EQ(bits(one({1e16, 1, 1}, {1e16, 1, 1}, 1)), bits(0.0));
  // A sum of -0 terms starts from +0 and stays +0.
  EXPECT_TRUE(std::isnan(one({-0.0}, {0.0}, 2)));  // 0/0: a NaN of either sign
  EXPECT_EQ(bits(one({-1, -0.0}, {-1, -0.0}, 3)), bits(0.0));
}

TEST(BindistOutOfMemory, FailedColumnSumAllocationRaisesAndStoresNothing) {
  // The test build of bindist, whose column-sum allocation always fails.
  Module failing("bindist_nomem", testModuleDir());
  Array H1 = matrix(2, 2, {1, 2, 3, 4}), H2 = matrix(2, 3, {1, 1, 2, 2, 3, 3});
  Array mcode = scalar(1);
  const size_t live = mxHostLiveArrays();
  for (int nlhs : {0, 1}) {
    CallResult r = failing.call(nlhs, {H1.get(), H2.get(), mcode.get()});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "bindist: not enough memory for the column sums of H2.\n");
    EXPECT_EQ(r.outputs[0], nullptr);
    EXPECT_EQ(mxHostLiveArrays(), live);
  }
  // Only the intersection distance allocates.
  for (double code : {2.0, 3.0}) {
    Array c = scalar(code);
    CallResult r = failing.call(1, {H1.get(), H2.get(), c.get()});
    EXPECT_TRUE(r.ok) << r.error;
  }
}

}  // namespace
