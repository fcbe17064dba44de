// The plain scalar definitions of the modules' operations, element by
// element: what every kernel variant must reproduce bit for bit.
#ifndef EXACTMEX_TESTS_DEFINITIONS_H
#define EXACTMEX_TESTS_DEFINITIONS_H

#include <cmath>
#include <cstddef>

namespace test {

// lanefuse: X(i,j) combined with its paired element p by opcode; 0 for an
// opcode that selects nothing.
inline double laneDefinition(int opcode, double x, double p) {
  switch (opcode) {
    case 0: return p;
    case 1: return x + p;
    case 2: return x * p;
    case 3: return x > p ? x : p;
    case 4: return x < p ? x : p;
    default: return 0.0;
  }
}

// crossfuse: (r op x) op c, the partial result rounded first.
inline double crossDefinition(int opcode, double r, double x, double c) {
  if (opcode == 1) return (r + x) + c;
  if (opcode == 2) return (r * x) * c;
  return 0.0;
}

// meshapply: x(i) op y(j) by opcode (1 to 5).
inline double meshDefinition(int opcode, double a, double b) {
  switch (opcode) {
    case 1: return a + b;
    case 2: return a * b;
    case 3: return std::fabs(a - b);
    case 4: return a > b ? a : b;
    default: return a < b ? a : b;
  }
}

// sampledist between columns a and b of d >= 1 rows: r = t(0), then each
// later row in order.
inline double sampledistDefinition(int code, const double *a, const double *b, size_t d) {
  double r = std::fabs(a[0] - b[0]);
  for (size_t k = 1; k < d; ++k) {
    const double t = std::fabs(a[k] - b[k]);
    if (code == 1) r = r + t;
    if (code == 2 && t > r) r = t;
    if (code == 3 && t < r) r = t;
  }
  return r;
}

inline double xlogx(double t) { return t > 0 ? t * std::log(t) : 0.0; }

// bindist: the term of one bin; a pair sums them from +0 in row order (mcode
// 1 then takes 1 - sum / (sum of column b)).
inline double bindistTerm(int mcode, double a, double b) {
  if (mcode == 1) return b > a ? a : b;
  if (mcode == 2) return ((a - b) * (a - b)) / ((a + b) * 2.0);
  return (xlogx(a) + xlogx(b)) - xlogx((a + b) * 0.5) * 2.0;
}

}  // namespace test

#endif
