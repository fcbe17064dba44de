// The sample family's uint8 and int8 kernels of every target this machine
// runs against the plain definition on the data converted to double, bit
// for bit: tables in blocks of rows and columns, and the nearest columns
// against the table sorted stably. Row counts straddle every target's
// vector of bytes (1, 16, 32) and the tails copied past it; columns straddle
// the groups a tile takes and the runs of first columns; byte values include
// both ends of each class, so that every term from 0 to 255 and sums past 16
// bits show.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "pairwise/sample_family.h"
#include "support/oracles.h"
#include "support/variants.h"

namespace {

using namespace test;

struct Shape {
  int32_t N1, N2, d;
};

std::vector<Shape> byteShapes() {
  std::vector<Shape> s;
  for (int32_t d : {0, 1, 2, 15, 16, 17, 31, 32, 33, 47, 64, 65, 100, 128, 129})
    for (int32_t N1 : {1, 3, 8, 17, 33})
      for (int32_t N2 : {1, 2, 3, 7}) s.push_back({N1, N2, d});
  s.push_back({600, 5, 3});    // several runs of first columns, a short last one
  s.push_back({300, 4, 200});  // runs of fewer columns than the most
  s.push_back({9, 3, 5000});   // long columns, a chunk of rows at a time
  s.push_back({5, 50, 4100});  // and more columns than wait from chunk to chunk
  s.push_back({2, 2, 70001});  // sums past 2^24
  s.push_back({0, 3, 16});     // no pair
  s.push_back({5, 0, 16});
  return s;
}

// Values of class T: mostly uniform, one in `rarity` the class's least or
// greatest; with `narrow`, only least, greatest and their neighbours, so
// that many distances tie.
template <class T>
std::vector<T> byteValues(size_t count, uint64_t seed, int rarity, bool narrow) {
  using L = std::numeric_limits<T>;
  std::mt19937_64 rng(seed);
  std::uniform_int_distribution<int> any(L::min(), L::max()), which(0, rarity - 1), edge(0, 3);
  const T edges[] = {L::min(), T(L::min() + 1), T(L::max() - 1), L::max()};
  std::vector<T> v(count);
  for (T &x : v) x = narrow || which(rng) == 0 ? edges[edge(rng)] : T(any(rng));
  return v;
}

// The values at the end of their storage, so that a read past them shows
// under the sanitizers, starting 67 bytes into it: 3 past a boundary of the
// allocator's 16 bytes, so that no vector load is aligned.
template <class T>
struct Unaligned {
  std::vector<T> storage;
  const T *data;
  explicit Unaligned(const std::vector<T> &v) {
    storage.reserve(67 + v.size());
    storage.assign(67, T());
    storage.insert(storage.end(), v.begin(), v.end());
    data = storage.data() + 67;
  }
};

template <class T>
const char *byteClassName() {
  return std::is_same_v<T, uint8_t> ? "uint8" : "int8";
}

// Every code's table in blocks, and its nearest columns kept 1, 5 and all
// at a time in blocks of columns, on one shape of class T.
// The table's output `offset` doubles past a cache line; nearest columns
// only when `nearestToo`.
template <class T>
void checkShape(simd::Target t, const Shape &s, int rarity, bool narrow, size_t offset,
                bool nearestToo) {
  const std::vector<T> a = byteValues<T>(size_t(s.N1) * s.d, s.N1 * 131 + s.d, rarity, narrow);
  const std::vector<T> b = byteValues<T>(size_t(s.N2) * s.d, s.N2 * 71 + s.d + 1, rarity, narrow);
  const std::vector<double> A(a.begin(), a.end()), B(b.begin(), b.end());
  const Unaligned<T> ua(a), ub(b);
  const PairInputs<T> in{ua.data, ub.data, s.N1, s.N2, s.d, nullptr};
  const std::string on = std::string(byteClassName<T>()) + " on " + simd::targetName(t) + ", N1 " +
                         std::to_string(s.N1) + " N2 " + std::to_string(s.N2) + " d " +
                         std::to_string(s.d) + (narrow ? " (ties)" : "");
  for (int32_t code = 1; code <= 3; ++code) {
    const std::string what = "code " + std::to_string(code) + " " + on;
    const std::vector<double> want = oracle::sampledist(A.data(), s.N1, B.data(), s.N2, s.d, code);
    const TableKernel<T> table = SampleFamily::tableKernels(t).template of<T>().at(code);
    ASSERT_NE(table, nullptr) << what;
    CaseOutputs<double> out({what, nullptr, s.N1, s.N2, want, Element::kComputed, true}, offset);
    inBlocks(s.N1, s.N2, [&](int32_t i0, int32_t i1, int32_t j0, int32_t j1) {
      table(in, out.Y.data, {i0, i1, j0, j1});
    });
    out.expectWanted({what, nullptr, s.N1, s.N2, want, Element::kComputed, true}, "");
    if (::testing::Test::HasFatalFailure() || !nearestToo) return;

    const NearestKernel<T> nearest = SampleFamily::nearestKernels(t).template of<T>().at(code);
    ASSERT_NE(nearest, nullptr) << what;
    std::vector<int32_t> kept;
    for (int32_t kk : {1, 5, s.N1})
      if (kk <= s.N1 && (kept.empty() || kk > kept.back())) kept.push_back(kk);
    for (int32_t kk : kept) {
      const oracle::Nearest sorted =
          oracle::nearest([&](size_t i, size_t j) { return want[i + j * s.N1]; }, s.N1, s.N2, kk);
      const Case c{what + " k " + std::to_string(kk),
                   nullptr,
                   kk,
                   s.N2,
                   sorted.D,
                   Element::kComputed,
                   false,
                   sorted.I};
      CaseOutputs<double> best(c, size_t(kk) % 8);
      inBlocks(s.N2,
               [&](int32_t j0, int32_t j1) { nearest(in, best.Y.data, best.I.data, kk, j0, j1); });
      best.expectWanted(c, "");
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

TEST(SampleBytes, KernelsMatchDefinitionOnEveryTarget) {
  for (simd::Target t : runnableTargets())
    for (const Shape &s : byteShapes())
      for (bool narrow : {false, true}) {
        const int rarity = s.d > 1000 ? 2 : 5;
        const size_t offset = size_t(s.N1 + s.N2) % 8;
        checkShape<uint8_t>(t, s, rarity, narrow, offset, true);
        if (HasFatalFailure()) return;
        checkShape<int8_t>(t, s, rarity, narrow, offset, true);
        if (HasFatalFailure()) return;
      }
}

// Tables past the size that turns streaming stores on, with columns a whole
// number of cache lines (streamed) and not (stored), starting at a line
// boundary and 3 rows before one (those rows stored, the rest streamed).
TEST(SampleBytes, LargeTablesMatchDefinitionOnEveryTarget) {
  for (simd::Target t : runnableTargets())
    for (const Shape &s : {Shape{1024, 1025, 1}, Shape{1032, 1030, 33}, Shape{1031, 1024, 2}})
      for (size_t offset : {0, 5}) {
        checkShape<uint8_t>(t, s, 5, false, offset, false);
        if (HasFatalFailure()) return;
        checkShape<int8_t>(t, s, 5, false, offset, false);
        if (HasFatalFailure()) return;
      }
}

// Columns of one extreme against the other: every term 255, the largest
// sum a row count allows; and of one value: every term 0.
TEST(SampleBytes, ExtremesGiveLargestAndZeroTerms) {
  for (simd::Target t : runnableTargets())
    for (int32_t d : {1, 33, 4099}) {
      const std::vector<uint8_t> lo(size_t(d) * 3, 0), hi(size_t(d) * 2, 255);
      const std::vector<int8_t> slo(size_t(d) * 3, -128), shi(size_t(d) * 2, 127);
      std::vector<double> D(6);
      for (int32_t code = 1; code <= 3; ++code) {
        const double most = code == 1 ? 255.0 * d : 255.0;
        SampleFamily::tableKernels(t).of<uint8_t>().at(code)(
            {lo.data(), hi.data(), 3, 2, d, nullptr}, D.data(), {0, 3, 0, 2});
        for (double x : D) EXPECT_EQ(x, most) << "uint8 code " << code << " d " << d;
        SampleFamily::tableKernels(t).of<int8_t>().at(code)(
            {slo.data(), shi.data(), 3, 2, d, nullptr}, D.data(), {0, 3, 0, 2});
        for (double x : D) EXPECT_EQ(x, most) << "int8 code " << code << " d " << d;
        SampleFamily::tableKernels(t).of<int8_t>().at(code)(
            {slo.data(), slo.data(), 3, 2, d, nullptr}, D.data(), {0, 3, 0, 2});
        for (double x : D) EXPECT_EQ(x, 0.0) << "int8 code " << code << " d " << d;
      }
    }
}

}  // namespace
