// The plain scalar definitions of the modules' operations, element by
// element: what every kernel variant must reproduce bit for bit.
#ifndef EXACTMEX_TESTS_DEFINITIONS_H
#define EXACTMEX_TESTS_DEFINITIONS_H

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

}  // namespace test

#endif
