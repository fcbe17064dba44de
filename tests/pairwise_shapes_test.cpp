// Tall and wide tables through the modules: the gateway cuts them into
// blocks of rows and columns (a tall one) or of whole columns (a wide one),
// streams the larger ones, and shares them among threads; on 1, 2 and 3
// threads every element is the definition's, bit for bit. Row counts off and
// on a whole number of cache lines, column counts around the tile groups.
#include <gtest/gtest.h>

#include <string>

#include "modules/description.h"
#include "support/threads.h"

namespace {

using namespace test;

struct Shape {
  const char *module;
  int32_t d, N1, N2;  // d = 0: meshapply, a table of x(i) op y(j)
};

const Shape kShapes[] = {
    {"sampledist", 3, 40000, 61},   // tall, streamed, rows on cache lines
    {"sampledist", 3, 40003, 25},   // tall, rows off them
    {"sampledist", 3, 61, 40000},   // wide
    {"sampledist", 300, 2503, 53},  // tall, long columns in chunks
    {"bindist", 24, 20001, 31},     // tall, each metric
    {"meshapply", 0, 200003, 33},   // tall
    {"meshapply", 0, 33, 200003},   // wide
};

TEST(PairwiseShapes, TallAndWideTablesGiveTheDefinitionOnAnyThreadCount) {
  std::mt19937_64 rng(22);
  for (const Shape &s : kShapes) {
    Module mod(s.module);
    const bool mesh = s.d == 0;
    const size_t rows = mesh ? 1 : size_t(s.d);
    std::vector<double> a = specialValues(rng, rows * s.N1), b = specialValues(rng, rows * s.N2);
    if (std::string(s.module) == "bindist")  // histograms: logarithms taken
      for (std::vector<double> *h : {&a, &b})
        for (double &x : *h) x = std::fabs(x);
    const Array A = mesh ? matrix(s.N1, 1, a) : matrix(rows, s.N1, a);
    const Array B = mesh ? matrix(1, s.N2, b) : matrix(rows, s.N2, b);
    const int codes = mesh ? 5 : std::string(s.module) == "bindist" ? 3 : 2;
    for (int code = 1; code <= codes; ++code) {
      const Array c = scalar(code);
      // The definition: the model of the module's description.
      const Expected e = description(s.module).expect(Call{1, {A.get(), B.get(), c.get()}});
      const std::vector<double> want = e.values();
      for (const char *threads : {"1", "2", "3"}) {
        ThreadsVariable use(threads);
        CallResult r = mod.call(1, {A.get(), B.get(), c.get()});
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_EQ(firstMismatch(r.outputs[0].get(), s.N1, s.N2, want, e.element), "")
            << s.module << " code " << code << ", d " << s.d << ", " << s.N1 << " x " << s.N2
            << ", " << threads << " threads";
      }
    }
  }
}

}  // namespace
