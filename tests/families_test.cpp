// Both modules of each pairwise family through the host: the table against
// the plain definition, and the nearest columns against the table: D(r, j)
// has the bits of the table's element (I(r, j), j) (but for the sign and
// payload of a NaN that arithmetic makes, which the portable target's
// compiled code may leave to either operand), and D and I are what a stable
// ascending sort of each column of the table gives (ties by row, NaN last),
// for every code, k below, at and above N1, special values, many ties,
// lopsided sums, long columns, empty shapes and any thread count.
#include "support/families.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/arrays.h"
#include "support/threads.h"

namespace {

using namespace test;

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

// The table of every code against its definition on these inputs, and the
// nearest columns against the table for each k.
void checkAgainstTable(const FamilyKernels &f, const Shape &s, const std::vector<size_t> &ks,
                       const std::vector<double> &a, const std::vector<double> &b,
                       const char *threads = "") {
  Module knn(f.nearest), table(f.table);
  const Array A = matrix(s.d, s.N1, a), B = matrix(s.d, s.N2, b);
  ThreadsVariable use(threads);
  for (int code = 1; code <= 3; ++code) {
    const Array c = scalar(code);
    CallResult t = table.call(1, {A.get(), B.get(), c.get()});
    ASSERT_TRUE(t.ok) << t.error;
    const Columns x{int32_t(s.N1), int32_t(s.N2), int32_t(s.d), a, b, {}};
    ASSERT_EQ(firstMismatch(t.outputs[0].get(), s.N1, s.N2, x.table(f, code)), "")
        << f.table << " code " << code << ", d " << s.d << ", " << s.N1 << " x " << s.N2;
    const std::vector<double> full = values(t.outputs[0].get());
    for (size_t k : ks) {
      const size_t kk = std::min(k, s.N1);
      const std::string where = std::string(f.nearest) + " code " + std::to_string(code) + ", d " +
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

TEST(Families, NearestMatchesAStableSortOfTheTable) {
  const Shape shapes[] = {{1, 1, 1},  {3, 7, 5},    {1, 40, 9},   {5, 100, 33},
                          {2, 17, 1}, {300, 50, 7}, {2, 1000, 30}};
  std::mt19937_64 rng(23);
  for (const FamilyKernels &f : families())
    for (const Shape &s : shapes) {
      const std::vector<double> a = tyingValues(rng, s.d * s.N1, f.histograms),
                                b = tyingValues(rng, s.d * s.N2, f.histograms);
      checkAgainstTable(f, s, {1, 3, 16, s.N1, s.N1 + 5}, a, b);
      if (HasFatalFailure()) return;
    }
}

// Random shapes of special values, or of lopsided ones whose sums depend
// on the order of additions, with a few columns of each.
TEST(Families, ModulesMatchTheDefinitionOnRandomInputs) {
  std::mt19937_64 rng(32);
  std::uniform_int_distribution<size_t> dim(0, 9);
  for (const FamilyKernels &f : families()) {
    const std::vector<double> lopsided = f.histograms
                                             ? std::vector<double>{1e16, 1, 3, 0.5, 0, 2e15, 7}
                                             : std::vector<double>{1e16, -1e16, 1, -1, 3, 0.5};
    std::uniform_int_distribution<size_t> pick(0, lopsided.size() - 1);
    for (int trial = 0; trial < 150; ++trial) {
      // The sample family's distances need a row to start from.
      const Shape s{dim(rng) + !f.histograms, dim(rng), dim(rng)};
      std::vector<double> a = specialValues(rng, s.d * s.N1), b = specialValues(rng, s.d * s.N2);
      if (trial % 2)
        for (std::vector<double> *v : {&a, &b})
          for (double &e : *v) e = lopsided[pick(rng)];
      checkAgainstTable(f, s, {1, 4, s.N1 + 1}, a, b);
      if (HasFatalFailure()) return;
    }
  }
}

// Calls large enough to share their columns among threads.
TEST(Families, NearestResultsDoNotDependOnTheThreadCount) {
  std::mt19937_64 rng(24);
  for (const FamilyKernels &f : families()) {
    const Shape s{16, 5000, 100};
    const std::vector<double> a = tyingValues(rng, s.d * s.N1, f.histograms),
                              b = tyingValues(rng, s.d * s.N2, f.histograms);
    for (const char *threads : {"1", "2", "3"}) {
      checkAgainstTable(f, s, {10}, a, b, threads);
      if (HasFatalFailure()) return;
    }
  }
}

// No columns or no rows: the sample family's distances without terms are
// 0, the histograms' 0 or NaN (the intersection's 1 - 0/0), and every row
// ties. Inputs without elements have no data to read: a read would fault.
TEST(Families, EmptyShapes) {
  struct Case {
    size_t d, N1, N2;
  };
  const auto input = [](size_t d, size_t n) {
    const mwSize dims[2] = {d, n};
    return d * n != 0 ? matrix(d, n, std::vector<double>(d * n, 1.0))
                      : Array(mxHostCreateShapeOnly(mxDOUBLE_CLASS, 2, dims));
  };
  for (const FamilyKernels &f : families()) {
    Module table(f.table), nearest(f.nearest);
    for (int code = 1; code <= 3; ++code)
      for (const Case &e :
           {Case{3, 0, 4}, Case{3, 4, 0}, Case{2, 0, 0}, Case{0, 0, 2}, Case{0, 0, 0},
            Case{0, 3, 2}, Case{0, 2, 3}, Case{2, 5, 0}, Case{0, 5, 2}, Case{0, 2, 2}}) {
        const std::string where = std::string(" code ") + std::to_string(code) + ", d " +
                                  std::to_string(e.d) + ", " + std::to_string(e.N1) + " x " +
                                  std::to_string(e.N2);
        const Array A = input(e.d, e.N1), B = input(e.d, e.N2), c = scalar(code), k = scalar(3);
        const double gap = f.histograms && code == 1 ? kNaN : 0.0;
        const size_t kk = std::min<size_t>(3, e.N1);
        std::vector<double> I(kk * e.N2);
        for (size_t x = 0; x < I.size(); ++x) I[x] = double(x % kk + 1);
        CallResult t = table.call(1, {A.get(), B.get(), c.get()});
        CallResult r = nearest.call(2, {A.get(), B.get(), c.get(), k.get()});
        ASSERT_TRUE(t.ok && r.ok) << t.error << r.error << where;
        EXPECT_EQ(
            firstMismatch(t.outputs[0].get(), e.N1, e.N2, std::vector<double>(e.N1 * e.N2, gap)),
            "")
            << f.table << where;
        EXPECT_EQ(firstMismatch(r.outputs[0].get(), kk, e.N2, std::vector<double>(I.size(), gap)),
                  "")
            << f.nearest << where;
        EXPECT_EQ(firstMismatch(r.outputs[1].get(), kk, e.N2, I), "") << f.nearest << where;
      }
  }
}

}  // namespace
