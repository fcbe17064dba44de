// Every instruction-set variant of the pairwise kernels this machine can run
// against the plain definitions, bit for bit: counts of columns around the
// lane widths, the panels and the groups of columns a tile takes, row counts
// around the chunks the stack tile holds, blocks of several panels, outputs
// large enough for streaming stores, and the special values of double
// arithmetic among ordinary values of mixed magnitude (so that the order of
// a sum shows).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "pairwise/meshapply_kernels.h"
#include "support/arrays.h"
#include "support/families.h"
#include "support/oracles.h"
#include "support/variants.h"

namespace {

using namespace test;

// Mostly ordinary values of magnitudes 2^-20 to 2^20, one in `rarity` a
// special value (NaN, infinities, signed zeros, subnormals, extremes).
std::vector<double> mixedValues(size_t count, uint64_t seed, int rarity) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-20, 20), which(0, rarity - 1);
  std::vector<double> v(count);
  for (double &x : v)
    x = which(rng) == 0 ? specialValue(rng) : std::ldexp(unit(rng), exponent(rng));
  return v;
}

struct Pairs {
  int32_t N1, N2, d;
};

// Around the widths of every target: lanes 1, 2, 4, 8; panels 2, 8, 16
// columns; groups of 2, 4 or 6 columns; chunks of 256 rows, and the slabs
// of 48 columns whose running values wait from chunk to chunk; runs of
// several panels when the rows are few; tall and wide tables.
std::vector<Pairs> pairShapes() {
  std::vector<Pairs> s;
  for (int32_t N1 : {0, 1, 3, 7, 8, 9, 15, 16, 17, 33})
    for (int32_t N2 : {0, 1, 2, 5, 6, 7, 13})
      for (int32_t d : {1, 2, 5}) s.push_back({N1, N2, d});
  for (int32_t d : {255, 256, 257, 600}) s.push_back({17, 7, d});
  for (int32_t N2 : {47, 48, 49, 97}) s.push_back({19, N2, 300});
  s.push_back({1500, 9, 3});   // several runs of panels
  s.push_back({1030, 13, 2});  // a block edge inside a panel
  s.push_back({1041, 7, 3});   // tall: a panel and a run past a whole number
  s.push_back({7, 1041, 3});   // wide
  return s;
}

// A family's inputs on shape s: mostly ordinary values, one in `rarity`
// special; histograms mostly non-negative, so that the logarithms are taken.
Columns columnsFor(const FamilyKernels &f, const Pairs &s, int rarity) {
  std::vector<double> A = mixedValues(size_t(s.N1) * s.d, s.N1 * 31 + s.d, rarity);
  std::vector<double> B = mixedValues(size_t(s.N2) * s.d, s.N2 * 17 + s.d, rarity);
  if (f.histograms)
    for (std::vector<double> *H : {&A, &B})
      for (size_t k = 0; k < H->size(); k += 3) (*H)[k] = std::fabs((*H)[k]);
  return Columns(s.N1, s.N2, s.d, std::move(A), std::move(B));
}

// The nearest columns kept at a time on a table of N1 rows: 1, 5 and all.
std::vector<int32_t> keptCounts(int32_t N1) {
  std::vector<int32_t> ks;
  for (int32_t kk : {1, 5, N1})
    if (kk <= N1 && (ks.empty() || kk > ks.back())) ks.push_back(kk);
  return ks;
}

// Every code of a family's table on target t, in blocks of rows and
// columns, into an output `offset` doubles past a cache line, against the
// definition; and with `nearestToo`, its nearest columns, kept 1, 5 and all
// at a time, in blocks of columns. Every element is computed: even the term
// that max or min chooses is an absolute difference.
void checkFamily(const FamilyKernels &f, simd::Target t, const Pairs &s, size_t offset, int rarity,
                 bool nearestToo) {
  const Columns x = columnsFor(f, s, rarity);
  const PairInputs<double> in = x.in();
  const size_t count = size_t(s.N1) * s.N2;
  for (int32_t code : codesOf(f.tables(t))) {
    const std::vector<double> want = x.table(f, code);
    const std::string where = std::string(" code ") + std::to_string(code) + " on " +
                              simd::targetName(t) + ", N1 " + std::to_string(s.N1) + " N2 " +
                              std::to_string(s.N2) + " d " + std::to_string(s.d);
    Buffer D(count, offset);
    inBlocks(s.N1, s.N2, [&](int32_t i0, int32_t i1, int32_t j0, int32_t j1) {
      f.tables(t).at(code)(in, D.data, {i0, i1, j0, j1});
    });
    for (size_t e = 0; e < count; ++e)
      ASSERT_TRUE(sameResult(D.data[e], want[e]))
          << f.table << where << " at " << e << ": " << D.data[e] << " want " << want[e];
    D.expectGuardIntact(count);
    for (int32_t kk : nearestToo ? keptCounts(s.N1) : std::vector<int32_t>()) {
      const oracle::Nearest near = nearestOf(want, s.N1, s.N2, kk);
      Buffer ND(size_t(kk) * s.N2, offset), NI(size_t(kk) * s.N2, offset);
      inBlocks(s.N2, [&](int32_t j0, int32_t j1) {
        f.nearests(t).at(code)(in, ND.data, NI.data, kk, j0, j1);
      });
      for (size_t e = 0; e < near.D.size(); ++e)
        ASSERT_TRUE(sameResult(ND.data[e], near.D[e]) && NI.data[e] == near.I[e])
            << f.nearest << where << " k " << kk << " at " << e << ": " << ND.data[e] << " row "
            << NI.data[e] << " want " << near.D[e] << " row " << near.I[e];
      ND.expectGuardIntact(near.D.size());
      NI.expectGuardIntact(near.I.size());
    }
  }
}

// Both stages of every family; without rows, only where a kernel runs on
// none (every sum is +0).
TEST(PairwiseTargets, FamiliesMatchDefinitionOnEveryTarget) {
  std::vector<Pairs> shapes = pairShapes();
  shapes.push_back({9, 7, 0});
  for (simd::Target t : runnableTargets())
    for (const FamilyKernels &f : families())
      for (const Pairs &s : shapes)
        for (int rarity : {4, 64}) {
          if (s.d == 0 && f.emptyIsZero) continue;
          checkFamily(f, t, s, size_t(s.N1 + s.N2) % 8, rarity, rarity == 4);
          if (HasFatalFailure()) return;
        }
}

// Outputs past the size that turns streaming stores on, with columns a whole
// number of cache lines (streamed) and not (stored), starting at a line
// boundary and 5 or 1 rows before one (those rows stored, the rest streamed).
TEST(PairwiseTargets, LargeOutputsMatchDefinitionOnEveryTarget) {
  for (simd::Target t : runnableTargets())
    for (const Pairs &s : {Pairs{1024, 1025, 1}, Pairs{1032, 1030, 2}, Pairs{1031, 1024, 1}})
      for (size_t offset : {0, 3, 7})
        for (const FamilyKernels &f : families()) {
          checkFamily(f, t, s, offset, 8, false);
          if (HasFatalFailure()) return;
        }
}

TEST(PairwiseTargets, MeshapplyMatchesDefinitionOnEveryTarget) {
  for (simd::Target t : runnableTargets()) {
    for (int32_t m : {0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 33, 1031})
      for (int32_t n : {0, 1, 3, 4, 5, 9, 1025}) {
        if (m * n > 1024 * 1024 && m != 1031) continue;
        const std::vector<double> x = mixedValues(m, m, 3), y = mixedValues(n, n + 99, 3);
        const size_t count = size_t(m) * n;
        for (int32_t op : codesOf(meshapplyKernels(t))) {
          const MeshKernel kernel = meshapplyKernels(t).at(op);
          Buffer Y(count, size_t(m + n) % 8);
          inBlocks(m, n, [&](int32_t i0, int32_t i1, int32_t j0, int32_t j1) {
            kernel(x.data(), y.data(), Y.data, m, n, i0, i1, j0, j1);
          });
          for (int32_t j = 0; j < n; ++j)
            for (int32_t i = 0; i < m; ++i) {
              const double got = Y.data[i + size_t(j) * m], want = oracle::mesh(op, x[i], y[j]);
              ASSERT_TRUE(sameResult(got, want, oracle::meshElement(op)))
                  << "op " << op << " on " << simd::targetName(t) << ", m " << m << " n " << n
                  << " at (" << i << ", " << j << "): " << got << " want " << want;
            }
          Y.expectGuardIntact(count);
        }
      }
  }
}

}  // namespace
