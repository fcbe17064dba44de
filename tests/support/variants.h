// What the tests of kernel variants share: the targets this machine runs,
// output buffers at a chosen alignment, poisoned so that an element a kernel
// skips, or one written past the end, shows, and calls in column blocks.
#ifndef EXACTMEX_TESTS_VARIANTS_H
#define EXACTMEX_TESTS_VARIANTS_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "gateway/blocks.h"
#include "simd/targets.h"
#include "support/arrays.h"

namespace test {

// A signalling NaN no kernel produces, as a double or a float (T).
constexpr uint64_t kPoisonBits = 0x7ff4dead0000beefull;
constexpr uint32_t kFloatPoisonBits = 0x7fa0beefu;
constexpr size_t kGuard = 8;  // poisoned elements after a buffer, never written

template <class T = double>
T poison() {
  T p;
  if constexpr (sizeof(T) == sizeof(kPoisonBits))
    std::memcpy(&p, &kPoisonBits, sizeof p);
  else
    std::memcpy(&p, &kFloatPoisonBits, sizeof p);
  return p;
}

// Every target up to the best this machine supports.
inline std::vector<simd::Target> runnableTargets() {
  std::vector<simd::Target> ts;
  for (int32_t t = 0; t <= int32_t(simd::bestSupported()); ++t) ts.push_back(simd::Target(t));
  return ts;
}

// Runs check(T()) for each class of elements the kernels take, double then
// float, the second only when the first raised no fatal failure.
template <class Check>
void forEachClass(Check check) {
  check(double());
  if (!::testing::Test::HasFatalFailure()) check(float());
}

// The name users know the class of elements T by.
template <class T>
const char *className() {
  return sizeof(T) == sizeof(double) ? "double" : "single";
}

// The codes that select a kernel in a module's table, in order; only the
// first when not `all`.
template <class Kernel>
std::vector<int32_t> codesOf(simd::Kernels<Kernel> kernels, bool all = true) {
  std::vector<int32_t> codes;
  for (int32_t code = 0; code < kernels.count; ++code)
    if (kernels.at(code) && (all || codes.empty())) codes.push_back(code);
  return codes;
}

// count elements of T starting `offset` elements past a 64-byte boundary,
// filled with `fill`, then kGuard poisoned elements.
template <class T = double>
struct Buffer {
  std::vector<T> storage;
  T *data;
  Buffer(size_t count, size_t offset, T fill = poison<T>())
      : storage(count + offset + 16 + kGuard, fill) {
    const uintptr_t base = reinterpret_cast<uintptr_t>(storage.data());
    data = storage.data() + ((64 - base % 64) % 64) / sizeof(T) + offset;
    for (size_t g = 0; g < kGuard; ++g) data[count + g] = poison<T>();
  }
  void expectGuardIntact(size_t count) const {
    for (size_t g = 0; g < kGuard; ++g)
      ASSERT_EQ(bits(data[count + g]), bits(poison<T>())) << "written past the end";
  }
};

// One kernel on one shape: it writes block b of its m-by-n output Y of
// elements R (and of I, for the nearest columns: their rows), every element
// of which must be want's (wantI's); of whole columns unless it takes rows.
template <class R>
struct CaseOf {
  std::string what;
  std::function<void(R *Y, double *I, const gateway::Block &b)> kernel;
  int32_t m, n;
  std::vector<R> want;
  Element element;
  bool takesRows;
  std::vector<double> wantI = {};
};
using Case = CaseOf<double>;

// A case's outputs, `offset` elements past a cache line.
template <class R>
struct CaseOutputs {
  Buffer<R> Y;
  Buffer<> I;
  CaseOutputs(const CaseOf<R> &c, size_t offset)
      : Y(c.want.size(), offset), I(c.wantI.size(), offset) {}
  void poisonAll(const CaseOf<R> &c) {
    std::fill(Y.data, Y.data + c.want.size(), poison<R>());
    std::fill(I.data, I.data + c.wantI.size(), poison<double>());
  }
  // Every element the case's, and nothing written past either output.
  void expectWanted(const CaseOf<R> &c, const std::string &where) const {
    for (size_t k = 0; k < c.want.size(); ++k)
      ASSERT_TRUE(sameResult(Y.data[k], c.want[k], c.element) &&
                  (k >= c.wantI.size() || I.data[k] == c.wantI[k]))
          << c.what << where << " at " << k << ": " << Y.data[k] << " want " << c.want[k]
          << (k < c.wantI.size()
                  ? " (rows " + std::to_string(I.data[k]) + ", " + std::to_string(c.wantI[k]) + ")"
                  : "");
    Y.expectGuardIntact(c.want.size());
    I.expectGuardIntact(c.wantI.size());
  }
};

// Edges that cut [0, n) into a third of it, one, and the rest.
inline std::vector<int32_t> blockEdges(int32_t n) {
  const int32_t a = n / 3, b = n > 0 ? a + 1 : 0;
  std::vector<int32_t> edges;
  for (int32_t e : {0, a, b, n})
    if (edges.empty() || e > edges.back()) edges.push_back(e);
  return edges;
}

// Runs kernel(j0, j1) over the n output columns as the gateways do, in
// blocks (blockEdges), the last block first, so that a kernel writing past
// its block leaves wrong values to be found. Where blocks begin and end
// must not change a bit.
template <class Kernel>
void inBlocks(int32_t n, Kernel kernel) {
  const std::vector<int32_t> edges = blockEdges(n);
  for (size_t k = edges.size(); k-- > 1;) kernel(edges[k - 1], edges[k]);
}

// Runs kernel(i0, i1, j0, j1) over the m-by-n output in blocks of rows and
// columns, both cut as blockEdges cuts them (through panels and tiles), the
// last block first.
template <class Kernel>
void inBlocks(int32_t m, int32_t n, Kernel kernel) {
  const std::vector<int32_t> rows = blockEdges(m);
  inBlocks(n, [&](int32_t j0, int32_t j1) {
    for (size_t k = rows.size(); k-- > 1;) kernel(rows[k - 1], rows[k], j0, j1);
  });
}

}  // namespace test

#endif
