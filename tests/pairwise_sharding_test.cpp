// Splitting the second operand (y, X2, H2) into column blocks and joining the
// results gives the same bits as one call: large problems can be sharded
// across workers.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/arrays.h"

namespace {

using namespace test;

struct Pairwise {
  const char *module;
  int codes;
  bool columnsAreSamples;  // false: meshapply, whose operands are rows of scalars
};

TEST(PairwiseSharding, ColumnBlocksJoinToTheWholeResult) {
  std::mt19937_64 rng(34);
  const double lopsided[] = {1e16, 1, 3, 0.5, 0, -1, 2e15};
  std::uniform_int_distribution<size_t> pick(0, 6), width(0, 4);
  for (Pairwise p : {Pairwise{"meshapply", 5, false}, Pairwise{"sampledist", 3, true},
                     Pairwise{"bindist", 3, true}}) {
    Module mod(p.module);
    for (int trial = 0; trial < 30; ++trial) {
      const size_t rows = p.columnsAreSamples ? 1 + trial % 7 : 1;
      const size_t n1 = 1 + trial % 5, n2 = 3 + trial % 11;
      std::vector<double> first = specialValues(rng, rows * n1);
      std::vector<double> second = specialValues(rng, rows * n2);
      if (trial % 2)
        for (std::vector<double> *v : {&first, &second})
          for (double &e : *v) e = lopsided[pick(rng)];
      Array A = matrix(rows, n1, first), B = matrix(rows, n2, second);
      Array code = scalar(1 + trial % p.codes);
      CallResult whole = mod.call(1, {A.get(), B.get(), code.get()});
      ASSERT_TRUE(whole.ok) << whole.error;
      const std::vector<double> want = values(whole.outputs[0].get());

      // Blocks of 0 to 4 columns, in order.
      std::vector<double> joined;
      for (size_t start = 0; start < n2;) {
        const size_t w = std::min(width(rng), n2 - start);
        Array part = matrix(rows, w,
                            std::vector<double>(second.begin() + start * rows,
                                                second.begin() + (start + w) * rows));
        CallResult r = mod.call(1, {A.get(), part.get(), code.get()});
        ASSERT_TRUE(r.ok) << r.error;
        for (double v : values(r.outputs[0].get())) joined.push_back(v);
        start += w;
      }
      ASSERT_EQ(joined.size(), want.size()) << p.module;
      // Chosen elements keep their bits; a NaN that arithmetic makes may
      // carry either sign and payload.
      const bool chosen = !p.columnsAreSamples && 1 + trial % p.codes >= 4;
      for (size_t k = 0; k < want.size(); ++k)
        ASSERT_TRUE(chosen ? bits(joined[k]) == bits(want[k]) : sameResult(joined[k], want[k]))
            << p.module << " trial " << trial << " at " << k;
    }
  }
}

}  // namespace
