#include <gtest/gtest.h>

#include "support/arrays.h"
#include "support/oracles.h"

namespace {

using namespace test;

class Crossfuse : public ::testing::Test {
 protected:
  Module mod{"crossfuse"};

  CallResult run(const mxArray *X, const mxArray *r, const mxArray *c, double opcode,
                 int nlhs = 1) const {
    Array op = scalar(opcode);
    return mod.call(nlhs, {X, r, c, op.get()});
  }
  std::vector<double> result(const mxArray *X, const mxArray *r, const mxArray *c,
                             double opcode) const {
    CallResult res = run(X, r, c, opcode);
    EXPECT_TRUE(res.ok) << res.error;
    return res.ok ? values(res.outputs[0].get()) : std::vector<double>{};
  }
};

TEST_F(Crossfuse, WorkedExamples) {
  Array s = matrix(1, 1, {5});
  EXPECT_EQ(result(s.get(), s.get(), s.get(), 1), (std::vector<double>{15}));
  Array X = matrix(2, 3, {1, 4, 2, 5, 3, 6});
  Array row = matrix(1, 3, {10, 20, 30}), col = matrix(2, 1, {1, 2});
  EXPECT_EQ(result(X.get(), row.get(), col.get(), 1),
            (std::vector<double>{12, 16, 23, 27, 34, 38}));
  EXPECT_EQ(result(X.get(), row.get(), col.get(), 2),
            (std::vector<double>{10, 80, 40, 200, 90, 360}));
  EXPECT_EQ(result(X.get(), row.get(), col.get(), 1.5),
            (std::vector<double>{12, 16, 23, 27, 34, 38}));
  EXPECT_EQ(result(X.get(), row.get(), col.get(), 2.7),
            (std::vector<double>{10, 80, 40, 200, 90, 360}));
  for (double op : {0.0, 3.0, -1.0, kNaN, 0.99})
    EXPECT_EQ(result(X.get(), row.get(), col.get(), op), std::vector<double>(6, 0.0)) << op;
}

TEST_F(Crossfuse, RowAndMatrixCombineFirst) {
  // (1 + 2^53) rounds to 2^53, then adding -2^53 gives 0, not 1.
  Array X = scalar(0x1p53), r = scalar(1), c = scalar(-0x1p53);
  EXPECT_EQ(bits(result(X.get(), r.get(), c.get(), 1)[0]), bits(0.0));
  // The partial result overflows to +Inf before the column element comes in.
  Array big = scalar(1e308), neg = scalar(-1e308);
  EXPECT_EQ(result(big.get(), big.get(), neg.get(), 1)[0], kInf);
  Array inf = scalar(kInf), ninf = scalar(-kInf), one = scalar(1);
  EXPECT_TRUE(std::isnan(result(one.get(), inf.get(), ninf.get(), 1)[0]));
  // Product order: (1e200 * 1e200) overflows although 1e200 * 1e-200 * 1e200 would not.
  Array a = scalar(1e200), b = scalar(1e-200);
  EXPECT_EQ(result(a.get(), a.get(), b.get(), 2)[0], kInf);
}

// An N-D X is read as m-by-(product of the other dims), and Y takes X's own dims.
TEST_F(Crossfuse, OutputTakesTheDimensionsOfX) {
  std::vector<double> xs(12), rs(6);
  for (size_t k = 0; k < xs.size(); ++k) xs[k] = double(k);
  for (size_t k = 0; k < rs.size(); ++k) rs[k] = 10.0 * double(k);
  Array X = ndArray({2, 3, 1, 2}, xs), row = matrix(1, 6, rs), col = matrix(2, 1, {0.5, 0.25});
  for (double op : {1.0, 0.0}) {  // a kernel, and none (zeros)
    CallResult r = run(X.get(), row.get(), col.get(), op);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(dimsOf(r.outputs[0].get()), (std::vector<mwSize>{2, 3, 1, 2})) << op;
    EXPECT_EQ(
        firstMismatch(r.outputs[0].get(), 2, 6,
                      oracle::crossfuse(xs.data(), rs.data(), mxGetPr(col.get()), int(op), 2, 6)),
        "");
  }
}

TEST_F(Crossfuse, EmptyShapesAndNoOutputs) {
  Array X = matrix(0, 3), row = matrix(1, 3, {1, 2, 3}), col = matrix(0, 1);
  CallResult r = run(X.get(), row.get(), col.get(), 1);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(firstMismatch(r.outputs[0].get(), 0, 3, {}), "");
  Array X2 = matrix(2, 0), row2 = matrix(1, 0), col2 = matrix(2, 1, {1, 2});
  r = run(X2.get(), row2.get(), col2.get(), 2);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(firstMismatch(r.outputs[0].get(), 2, 0, {}), "");
  Array one = scalar(1);
  r = run(one.get(), one.get(), one.get(), 1, 0);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(firstMismatch(r.outputs[0].get(), 1, 1, {3}), "");
}

TEST_F(Crossfuse, MatchesScalarDefinitionOnRandomInputs) {
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<size_t> dim(0, 12);
  for (int trial = 0; trial < 400; ++trial) {
    const size_t m = dim(rng), n = dim(rng) % 6;
    const int op = trial % 4;
    const std::vector<double> xs = specialValues(rng, m * n), rs = specialValues(rng, n),
                              cs = specialValues(rng, m);
    Array X = matrix(m, n, xs), row = matrix(1, n, rs), col = matrix(m, 1, cs);
    const std::vector<double> want = oracle::crossfuse(xs.data(), rs.data(), cs.data(), op, m, n);
    CallResult r = run(X.get(), row.get(), col.get(), op);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(firstMismatch(r.outputs[0].get(), m, n, want), "")
        << "m=" << m << " n=" << n << " op=" << op;
  }
}

}  // namespace
