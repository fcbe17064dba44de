// The gateways of a family's two modules (pairwise/family.h), made of its
// definition: D = table(A, B, code), the N1-by-N2 table of every pair, and
// [D, I] = nearest(A, B, code, k), for each column j of B the min(k, N1)
// columns of A nearest to it, nearest first: D(:, j) their distances, I(:, j)
// their column numbers. Each checks its counts, then the family's operands,
// then k; makes its outputs, then what the kernels read besides the inputs.
// The data of a call are of one class of the family's Classes; its kernels
// are that class's and D is of ResultOf the class.
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

  int32_t d() const { return a.rows; }
  double work() const { return d() * Family::termWork(code); }
  // What the kernels read of data of class T.
  template <class T>
  PairInputs<T> inputs() const {
    return {a.as<T>(), b.as<T>(), a.cols, b.cols, d(), nullptr};
  }
  template <class T>
  double bytesPerColumn() const {
    return d() * double(sizeof(T));
  }
};

// The counts, then the family's operands.
template <class Family>
Pairs<Family> readPairs(const gateway::Call &c, int nargin, int nargout) {
  if (c.nrhs != nargin) failWith(c, "nargin", Family::kNargin, nargin);
  if (c.nlhs > nargout) failWith(c, "nargout", Family::kNargout, nargout);
  const Operands op = Family::read(c);
  return {op, op.a.rows > 0 || !Family::kEmptyIsZero};
}

// Runs f(T()) for T, the class of the call's data: one of Family::Classes,
// which read has checked.
template <class Family, class F>
void byClass(const Pairs<Family> &p, F &&f) {
  gateway::forClass(typename Family::Classes(), p.a.cls, f);
}

// The nearest columns' outputs: D, the kk smallest distances of every
// column of B (of class R), in slot 0, and I, their column numbers, in slot
// 1; kk = min(k, N1). Called with one output or none, the module still
// needs I's storage while it works: the call then keeps I in its scratch
// memory.
template <class R>
struct NearestOutputs {
  int32_t kk;
  R *D;
  double *I;
};

// With every row of D 0 and I counting 1 to kk in each column when
// `rowsInOrder` (distances of no terms all tie), otherwise as the kernel
// leaves them.
template <class R>
NearestOutputs<R> createNearest(const gateway::Call &c, double k, int32_t N1, int32_t N2,
                                bool rowsInOrder) {
  using namespace gateway;
  NearestOutputs<R> o;
  o.kk = k < N1 ? static_cast<int32_t>(k) : N1;
  o.D = createOutput<R>(c, o.kk, N2, !rowsInOrder);
  if (c.nlhs >= 2) {
    o.I = createOutput<double>(c, o.kk, N2, rowsInOrder, 1);
  } else {
    o.I = static_cast<double *>(scratch(c, size_t(o.kk) * size_t(N2) + 1, sizeof(double)));
    if (!o.I) failWith(c, "outOfMemory", "%s: not enough memory for the output.\n");
  }
  if (rowsInOrder)
    for (size_t e = 0; e < size_t(o.kk) * size_t(N2); ++e) o.I[e] = double(e % o.kk + 1);
  return o;
}

// The table of data of class T, D of class ResultOf<T>.
template <class Family, class T>
void table(const gateway::Call &c, const Pairs<Family> &p) {
  using namespace gateway;
  PairInputs<T> in = p.template inputs<T>();
  // A kernel that runs writes all of D.
  ResultOf<T> *D = createOutput<ResultOf<T>>(c, in.N1, in.N2, p.runs);
  // D, not yet handed over, is released by the host with the failed call.
  if (!Family::prepare(c, p.code, in)) failWith(c, "outOfMemory", Family::kNoMemory);
  const TableKernel<T> kernel = Family::tableKernels().template of<T>().at(p.code);
  if (p.runs)
    forPairBlocks(c, D, in.N1, in.N2, p.work(), p.template bytesPerColumn<T>(),
                  [&](const Block &b) { kernel(in, D, b); });
}

template <class Family>
void tableGateway(const gateway::Call &c) {
  const Pairs<Family> p = readPairs<Family>(c, 3, 1);
  byClass(p, [&](auto zero) { table<Family, decltype(zero)>(c, p); });
}

// The nearest columns of data of class T, D of class ResultOf<T>.
template <class Family, class T>
void nearest(const gateway::Call &c, const Pairs<Family> &p, double k) {
  using namespace gateway;
  PairInputs<T> in = p.template inputs<T>();
  // Distances no kernel makes are all 0, as in the table: all tie.
  NearestOutputs<ResultOf<T>> out = createNearest<ResultOf<T>>(c, k, in.N1, in.N2, !p.runs);
  if (!p.runs || out.kk == 0 || in.N2 == 0) return;
  if (!Family::prepare(c, p.code, in)) failWith(c, "outOfMemory", Family::kNoMemory);
  const NearestKernel<T> kernel = Family::nearestKernels().template of<T>().at(p.code);
  forNearestColumns(c, in.N1, in.N2, p.work(), p.template bytesPerColumn<T>(),
                    [&](int32_t j0, int32_t j1) { kernel(in, out.D, out.I, out.kk, j0, j1); });
}

template <class Family>
void nearestGateway(const gateway::Call &c) {
  const Pairs<Family> p = readPairs<Family>(c, 4, 2);
  const double k = gateway::readCount(c, 3, "k");
  byClass(p, [&](auto zero) { nearest<Family, decltype(zero)>(c, p, k); });
}

#endif
