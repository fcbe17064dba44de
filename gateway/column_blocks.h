// The one loop that runs a module's kernel over its output: column blocks of
// [0, n), each small enough to take a few milliseconds, with a question to
// the host between blocks (has the user interrupted?) asked on the calling
// thread. Every output element depends on its own inputs alone, so where the
// blocks begin and end never changes a bit of the result; a kernel called on
// columns [j0, j1) writes those columns of the whole output and nothing else.
// Host-neutral: the entry point supplies the question, the gateway the body.
#ifndef EXACTMEX_GATEWAY_COLUMN_BLOCKS_H
#define EXACTMEX_GATEWAY_COLUMN_BLOCKS_H

#include <cstdint>

namespace gateway {

// Whether to go on: asked between blocks, never during one. A null goOn
// (the MEX route, where interrupts are the host's business) never stops.
struct Poll {
  bool (*goOn)(void *ctx);
  void *ctx;
};

// Work of one block, in the units workPerColumn is given in: elements
// written, or terms of a sum, weighted where a term costs more (a division,
// a logarithm); about a nanosecond each. A block then takes some tens of
// milliseconds: below the tenth of a second a user waits after Ctrl-C, and
// long enough that what a kernel does once per call (the pairwise kernels
// pack the first input's columns) stays a few percent of it at most.
constexpr double kBlockWork = 2e7;

// Columns per block for columns of this much work each: at least one.
inline int32_t columnsPerBlock(double workPerColumn) {
  if (!(workPerColumn * INT32_MAX > kBlockWork)) return INT32_MAX;
  const double columns = kBlockWork / workPerColumn;
  return columns < 1 ? 1 : static_cast<int32_t>(columns);
}

// Runs body(j0, j1) over [0, n) in order, perBlock columns at a time, and
// poll between blocks. Returns true when every column was done, false when
// poll said stop: later blocks are not run, and the output is incomplete.
// A body writes its block's output columns and only reads everything else,
// so blocks could as well run in any order or at once; poll, the host's,
// must stay on the calling thread.
template <class Body>
bool forColumnBlocks(int32_t n, int32_t perBlock, Poll poll, Body &&body) {
  for (int32_t j0 = 0; j0 < n;) {
    const int32_t j1 = n - j0 > perBlock ? j0 + perBlock : n;
    body(j0, j1);
    j0 = j1;
    if (j0 < n && poll.goOn && !poll.goOn(poll.ctx)) return false;
  }
  return true;
}

}  // namespace gateway

#endif
