// Every instruction-set variant of the pairwise kernels this machine can run
// against the plain definitions, bit for bit: counts of columns around the
// lane widths, the panels and the groups of columns a tile takes, row counts
// around the chunks the stack tile holds, blocks of several panels, outputs
// large enough for streaming stores, and the special values of double
// arithmetic among ordinary values of mixed magnitude (so that the order of
// a sum shows), for every class of data: singles with their special values,
// integers with the extremes of their class.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <type_traits>

#include "pairwise/meshapply_kernels.h"
#include "support/arrays.h"
#include "support/families.h"
#include "support/oracles.h"
#include "support/variants.h"

namespace {

using namespace test;

// Mostly ordinary values of magnitudes 2^-20 to 2^20, one in `rarity` a
// special value (NaN, infinities, signed zeros, subnormals, extremes) of
// doubles or floats (T).
template <class T = double>
std::vector<T> mixedValues(size_t count, uint64_t seed, int rarity) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-20, 20), which(0, rarity - 1);
  std::vector<T> v(count);
  for (T &x : v)
    x = which(rng) == 0 ? specialValue<T>(rng) : T(std::ldexp(unit(rng), exponent(rng)));
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

// Values of class T as mixedValues gives them, or integerValues.
template <class T>
std::vector<T> valuesOf(size_t count, uint64_t seed, int rarity) {
  if constexpr (std::is_floating_point_v<T>)
    return mixedValues<T>(count, seed, rarity);
  else
    return integerValues<T>(seed, count, rarity);
}

// The case in blocks as the gateways cut it (of rows and columns, or of
// whole columns), into outputs `offset` elements past a cache line.
template <class R>
void checkInBlocks(const CaseOf<R> &c, size_t offset) {
  CaseOutputs out(c, offset);
  const auto run = [&](int32_t i0, int32_t i1, int32_t j0, int32_t j1) {
    c.kernel(out.Y.data, out.I.data, {i0, i1, j0, j1});
  };
  if (c.takesRows)
    inBlocks(c.m, c.n, run);
  else
    inBlocks(c.n, [&](int32_t j0, int32_t j1) { run(0, c.m, j0, j1); });
  out.expectWanted(c, "");
}

// Every code of every family on shape s of class T, its nearest columns
// kept 1, 5 and all at a time when `nearestToo`. Every element is computed:
// even the term that max or min chooses is an absolute difference.
template <class T>
void checkFamilies(simd::Target t, const Pairs &s, size_t offset, int rarity, bool nearestToo) {
  std::vector<int32_t> kept;
  for (int32_t kk : {1, 5, s.N1})
    if (nearestToo && kk <= s.N1 && (kept.empty() || kk > kept.back())) kept.push_back(kk);
  const std::vector<T> A = valuesOf<T>(size_t(s.N1) * s.d, s.N1 * 31 + s.d, rarity);
  const std::vector<T> B = valuesOf<T>(size_t(s.N2) * s.d, s.N2 * 17 + s.d, rarity);
  for (const auto &c : familyCases(t, s.N1, s.N2, s.d, A, B, true, kept)) {
    checkInBlocks(c, offset);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

// Both stages of every family and class; without rows, only where a kernel
// runs on none (every sum is +0). Integers are exact whatever their order,
// so one mix of extremes does for them.
TEST(PairwiseTargets, FamiliesMatchDefinitionOnEveryTarget) {
  std::vector<Pairs> shapes = pairShapes();
  shapes.push_back({9, 7, 0});
  forEachPairClass([&](auto zero) {
    using T = decltype(zero);
    for (simd::Target t : runnableTargets())
      for (const Pairs &s : shapes)
        for (int rarity : {4, 64}) {
          if (!std::is_floating_point_v<T> && rarity != 4) continue;
          checkFamilies<T>(t, s, size_t(s.N1 + s.N2) % 8, rarity, rarity == 4);
          if (HasFatalFailure()) return;
        }
  });
}

// Outputs past the size that turns streaming stores on, with columns a whole
// number of cache lines (streamed) and not (stored), starting at a line
// boundary and 5 or 1 rows before one (those rows stored, the rest streamed);
// single tables, streamed from 8 MiB too, of twice the pairs, and one
// integer class.
TEST(PairwiseTargets, LargeOutputsMatchDefinitionOnEveryTarget) {
  forEachPairClass([&](auto zero) {
    using T = decltype(zero);
    if (!std::is_same_v<T, double> && !std::is_same_v<T, float> && !std::is_same_v<T, uint8_t>)
      return;
    const int32_t k = sizeof(T) == sizeof(float) ? 2 : 1;
    for (simd::Target t : runnableTargets())
      for (const Pairs &s : {Pairs{1024 * k, 1025, 1}, Pairs{1032, 1030 * k, 2},
                             Pairs{1031, 1024 * k, 1}, Pairs{1040, 1030 * k, 1}})
        for (size_t offset : {0, 3, 7}) {
          checkFamilies<T>(t, s, offset, 8, false);
          if (HasFatalFailure()) return;
        }
  });
}

// Sizes straddle the lanes (up to 16 floats) and the column groups; the
// largest outputs stream, for doubles and for floats (8 MiB and more).
TEST(PairwiseTargets, MeshapplyMatchesDefinitionOnEveryTarget) {
  forEachClass([&](auto zero) {
    using T = decltype(zero);
    const int32_t tall = sizeof(T) == sizeof(double) ? 1031 : 2063;
    for (simd::Target t : runnableTargets())
      for (int32_t m : {0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 33, tall})
        for (int32_t n : {0, 1, 3, 4, 5, 9, 1025}) {
          if (m * n > 1024 * 1024 && m != tall) continue;
          const std::vector<T> x = mixedValues<T>(m, m, 3), y = mixedValues<T>(n, n + 99, 3);
          const size_t count = size_t(m) * n;
          for (int32_t op : codesOf(meshapplyKernels<T>(t))) {
            const MeshKernel<T> kernel = meshapplyKernels<T>(t).at(op);
            Buffer<T> Y(count, size_t(m + n) % 16);
            inBlocks(m, n, [&](int32_t i0, int32_t i1, int32_t j0, int32_t j1) {
              kernel(x.data(), y.data(), Y.data, m, n, i0, i1, j0, j1);
            });
            for (int32_t j = 0; j < n; ++j)
              for (int32_t i = 0; i < m; ++i) {
                const T got = Y.data[i + size_t(j) * m], want = oracle::mesh(op, x[i], y[j]);
                ASSERT_TRUE(sameResult(got, want, oracle::meshElement(op)))
                    << className<T>() << " op " << op << " on " << simd::targetName(t) << ", m "
                    << m << " n " << n << " at (" << i << ", " << j << "): " << got << " want "
                    << want;
              }
            Y.expectGuardIntact(count);
          }
        }
  });
}

}  // namespace
