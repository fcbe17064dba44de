// The gateways of a family's two modules (pairwise/family.h), made of its
// definition: D = table(A, B, code), the N1-by-N2 table of every pair, and
// [D, I] = nearest(A, B, code, k), for each column j of B the min(k, N1)
// columns of A nearest to it, nearest first: D(:, j) their distances, I(:, j)
// their column numbers. Each checks its counts, then the family's operands,
// then k; makes its outputs, then what the kernels read besides the inputs.
#ifndef EXACTMEX_PAIRWISE_FAMILY_GATEWAYS_H
#define EXACTMEX_PAIRWISE_FAMILY_GATEWAYS_H

#include <cstdio>

#include "gateway/call.h"
#include "pairwise/family.h"

// Raises `reason` with a message formatted of the function's name and n.
[[noreturn]] inline void failWith(const gateway::Call &c, const char *reason, const char *format,
                                  int n = 0) {
  char message[128];
  std::snprintf(message, sizeof message, format, c.fn, n);
  gateway::fail(c, reason, message);
}

// A call's operands, and whether a kernel runs on them.
template <class Family>
struct Pairs : Operands {
  bool runs;

  double work() const { return in.d * Family::termWork(code); }
  double bytesPerColumn() const { return in.d * sizeof(double); }
};

// The counts, then the family's operands.
template <class Family>
Pairs<Family> readPairs(const gateway::Call &c, int nargin, int nargout) {
  if (c.nrhs != nargin) failWith(c, "nargin", Family::kNargin, nargin);
  if (c.nlhs > nargout) failWith(c, "nargout", Family::kNargout, nargout);
  const Operands op = Family::read(c);
  return {op, op.in.d > 0 || !Family::kEmptyIsZero};
}

// The nearest columns' outputs: D, the kk smallest distances of every
// column of B, in slot 0, and I, their column numbers, in slot 1; kk =
// min(k, N1). Called with one output or none, the module still needs I's
// storage while it works: the call then keeps I in its scratch memory.
struct NearestOutputs {
  int32_t kk;
  double *D, *I;
};

// With every row of D 0 and I counting 1 to kk in each column when
// `rowsInOrder` (distances of no terms all tie), otherwise as the kernel
// leaves them.
inline NearestOutputs createNearest(const gateway::Call &c, double k, int32_t N1, int32_t N2,
                                    bool rowsInOrder) {
  using namespace gateway;
  NearestOutputs o;
  o.kk = k < N1 ? static_cast<int32_t>(k) : N1;
  o.D = createOutput(c, o.kk, N2, !rowsInOrder);
  if (c.nlhs >= 2) {
    o.I = createOutput(c, o.kk, N2, rowsInOrder, 1);
  } else {
    o.I = static_cast<double *>(scratch(c, size_t(o.kk) * size_t(N2) + 1, sizeof(double)));
    if (!o.I) failWith(c, "outOfMemory", "%s: not enough memory for the output.\n");
  }
  if (rowsInOrder)
    for (size_t e = 0; e < size_t(o.kk) * size_t(N2); ++e) o.I[e] = double(e % o.kk + 1);
  return o;
}

template <class Family>
void tableGateway(const gateway::Call &c) {
  using namespace gateway;
  Pairs<Family> p = readPairs<Family>(c, 3, 1);
  double *D = createOutput(c, p.in.N1, p.in.N2, p.runs);  // a kernel that runs writes all of D
  // D, not yet handed over, is released by the host with the failed call.
  if (!Family::prepare(c, p.code, p.in)) failWith(c, "outOfMemory", Family::kNoMemory);
  const TableKernel<double> kernel = Family::tableKernels().template of<double>().at(p.code);
  if (p.runs)
    forPairBlocks(c, D, p.in.N1, p.in.N2, p.work(), p.bytesPerColumn(),
                  [&](const Block &b) { kernel(p.in, D, b); });
}

template <class Family>
void nearestGateway(const gateway::Call &c) {
  using namespace gateway;
  Pairs<Family> p = readPairs<Family>(c, 4, 2);
  const double k = readCount(c, 3, "k");
  // Distances no kernel makes are all 0, as in the table: all tie.
  NearestOutputs out = createNearest(c, k, p.in.N1, p.in.N2, !p.runs);
  if (!p.runs || out.kk == 0 || p.in.N2 == 0) return;
  if (!Family::prepare(c, p.code, p.in)) failWith(c, "outOfMemory", Family::kNoMemory);
  const NearestKernel<double> kernel = Family::nearestKernels().template of<double>().at(p.code);
  forNearestColumns(c, p.in.N1, p.in.N2, p.work(), p.bytesPerColumn(),
                    [&](int32_t j0, int32_t j1) { kernel(p.in, out.D, out.I, out.kk, j0, j1); });
}

#endif
