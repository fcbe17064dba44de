// sampleknn and binknn against the full tables of sampledist and bindist:
// D(r, j) has the bits of the table's element (I(r, j), j) (but for the sign
// and payload of a NaN that arithmetic makes, which the portable target's
// compiled code may leave to either operand), and D and I are
// what a stable ascending sort of each column of the table gives (ties by
// row, NaN last), for every code, k below, at and above N1, special values,
// many ties, long columns, empty shapes and any thread count.
#include <gtest/gtest.h>

#include <string>

#include "support/arrays.h"
#include "support/threads.h"

namespace {

using namespace test;

// One of the two modules with the table it keeps the nearest of.
struct Family {
  const char *knn, *table;
  int codes;
  bool histograms;
};
const Family kFamilies[] = {{"sampleknn", "sampledist", 3, false}, {"binknn", "bindist", 3, true}};

struct Shape {
  size_t d, N1, N2;
};

// Values that tie often (small whole numbers), with special values among
// them; histograms keep the logarithms' inputs non-negative mostly.
std::vector<double> tyingValues(std::mt19937_64 &rng, size_t count, bool histogram) {
  std::vector<double> v = specialValues(rng, count);
  std::uniform_int_distribution<int> small(0, 3), pick(0, 4);
  for (double &x : v) {
    if (pick(rng) != 0) x = small(rng);
    if (histogram && pick(rng) != 0) x = std::fabs(x);
  }
  return v;
}

// The nearest of every code against the table on these inputs, for each k.
void checkAgainstTable(const Family &f, const Shape &s, const std::vector<size_t> &ks,
                       const std::vector<double> &a, const std::vector<double> &b,
                       const char *threads = "") {
  Module knn(f.knn), table(f.table);
  const Array A = matrix(s.d, s.N1, a), B = matrix(s.d, s.N2, b);
  ThreadsVariable use(threads);
  for (int code = 1; code <= f.codes; ++code) {
    const Array c = scalar(code);
    CallResult t = table.call(1, {A.get(), B.get(), c.get()});
    ASSERT_TRUE(t.ok) << t.error;
    const std::vector<double> full = values(t.outputs[0].get());
    for (size_t k : ks) {
      const size_t kk = std::min(k, s.N1);
      const std::string where = std::string(f.knn) + " code " + std::to_string(code) + ", d " +
                                std::to_string(s.d) + ", " + std::to_string(s.N1) + " x " +
                                std::to_string(s.N2) + ", k " + std::to_string(k);
      const Array kArg = scalar(double(k));
      CallResult r = knn.call(2, {A.get(), B.get(), c.get(), kArg.get()});
      ASSERT_TRUE(r.ok) << where << ": " << r.error;
      ASSERT_EQ(mxGetM(r.outputs[0].get()), kk) << where;
      ASSERT_EQ(mxGetN(r.outputs[0].get()), s.N2) << where;
      const oracle::Nearest want =
          oracle::nearest([&](size_t i, size_t j) { return full[i + j * s.N1]; }, s.N1, s.N2, kk);
      const std::vector<double> D = values(r.outputs[0].get()), I = values(r.outputs[1].get());
      ASSERT_EQ(I, want.I) << where;
      for (size_t e = 0; e < D.size(); ++e) {
        const size_t row = size_t(I[e]) - 1, column = e / kk;
        ASSERT_TRUE(sameResult(D[e], full[row + column * s.N1])) << where << " at " << e;
      }
      // D alone, as the first of two.
      CallResult one = knn.call(1, {A.get(), B.get(), c.get(), kArg.get()});
      ASSERT_TRUE(one.ok) << where << ": " << one.error;
      ASSERT_EQ(firstMismatch(one.outputs[0].get(), kk, s.N2, D), "") << where;
    }
  }
}

TEST(Nearest, MatchesAStableSortOfTheTable) {
  const Shape shapes[] = {{1, 1, 1},  {3, 7, 5},    {1, 40, 9},   {5, 100, 33},
                          {2, 17, 1}, {300, 50, 7}, {2, 1000, 30}};
  std::mt19937_64 rng(23);
  for (const Family &f : kFamilies)
    for (const Shape &s : shapes) {
      const std::vector<double> a = tyingValues(rng, s.d * s.N1, f.histograms),
                                b = tyingValues(rng, s.d * s.N2, f.histograms);
      checkAgainstTable(f, s, {1, 3, 16, s.N1, s.N1 + 5}, a, b);
      if (HasFatalFailure()) return;
    }
}

// Calls large enough to share their columns among threads.
TEST(Nearest, ResultsDoNotDependOnTheThreadCount) {
  std::mt19937_64 rng(24);
  for (const Family &f : kFamilies) {
    const Shape s{16, 5000, 100};
    const std::vector<double> a = tyingValues(rng, s.d * s.N1, f.histograms),
                              b = tyingValues(rng, s.d * s.N2, f.histograms);
    for (const char *threads : {"1", "2", "3"}) {
      checkAgainstTable(f, s, {10}, a, b, threads);
      if (HasFatalFailure()) return;
    }
  }
}

// No reference columns, no queries, no rows: sampleknn's distances without
// terms are 0 and bindist's NaN (intersection) or 0, every row tied.
TEST(Nearest, EmptyShapes) {
  for (const Family &f : kFamilies) {
    Module knn(f.knn);
    for (int code = 1; code <= f.codes; ++code) {
      const Array c = scalar(code), k = scalar(3);
      struct Case {
        size_t d, N1, N2, kk;
      };
      for (const Case &e :
           {Case{2, 0, 4, 0}, Case{2, 5, 0, 3}, Case{0, 5, 2, 3}, Case{0, 2, 2, 2}}) {
        const Array A = matrix(e.d, e.N1), B = matrix(e.d, e.N2);
        CallResult r = knn.call(2, {A.get(), B.get(), c.get(), k.get()});
        ASSERT_TRUE(r.ok) << r.error;
        const double gap = f.histograms && code == 1 ? kNaN : 0.0;
        std::vector<double> D(e.kk * e.N2, gap), I(e.kk * e.N2);
        for (size_t x = 0; x < I.size(); ++x) I[x] = double(x % e.kk + 1);
        EXPECT_EQ(firstMismatch(r.outputs[0].get(), e.kk, e.N2, D), "") << f.knn << " " << code;
        EXPECT_EQ(firstMismatch(r.outputs[1].get(), e.kk, e.N2, I), "") << f.knn << " " << code;
      }
    }
  }
}

}  // namespace
