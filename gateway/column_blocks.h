// The one loop that runs a module's kernel over its output: column blocks of
// [0, n), each small enough to take a few milliseconds, with a question to
// the host between blocks (has the user interrupted?) asked on the calling
// thread. Every output element depends on its own inputs alone, so where the
// blocks begin and end, and which thread runs each, never changes a bit of
// the result; a kernel called on columns [j0, j1) writes those columns of
// the whole output and nothing else. A large call shares its blocks with
// the module's worker threads (gateway/workers.h).
// Host-neutral: the entry point supplies the question, the gateway the body.
#ifndef EXACTMEX_GATEWAY_COLUMN_BLOCKS_H
#define EXACTMEX_GATEWAY_COLUMN_BLOCKS_H

#include <cstdint>
#include <type_traits>

#include "gateway/workers.h"
#include "simd/targets.h"

namespace gateway {

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

// Calls of less work stay on the calling thread: handing blocks to workers
// and waiting for them costs some tens of microseconds.
constexpr double kSharedWork = 4e6;

// A shared call is cut into about this many blocks per thread, so that a
// thread slowed by other work on the machine leaves little for the others
// to wait on at the end; never into blocks of less work than kLeastBlockWork
// (each block costs a hand-over, and a pairwise kernel packs the first input
// again), nor of more than a block between two polls.
constexpr int kBlocksPerThread = 4;
constexpr double kLeastBlockWork = 2.5e5;

// Shared blocks are a multiple of this many columns once they hold one:
// a multiple of the columns every kernel takes at once (a pair tile's 1, 2,
// 4 or 6, a sweep's group of 4 or 8), so that only the last block ends in
// a short group.
constexpr int32_t kColumnStep = 24;

// The columns of an output of `rows` rows at `out` that start on a cache
// line: first (one of the first eight columns) and every `every`-th after
// it. {0, 1} when no column does: a multiple of 8 rows on an output not
// itself on a line (as most allocators place large blocks), where the two
// blocks at each edge then share the one line there; a few writes to one
// line per block of a hundred KiB or more cost nothing measurable.
struct LineColumns {
  int32_t first, every;
};

inline LineColumns lineColumns(const double *out, int32_t rows) {
  constexpr uint32_t perLine = simd::kLineBytes / sizeof(double);
  const uintptr_t at = reinterpret_cast<uintptr_t>(out);
  if (at % sizeof(double) != 0 || rows < 0) return {0, 1};
  const uint32_t offset = at / sizeof(double) % perLine, step = uint32_t(rows) % perLine;
  for (uint32_t j = 0; j < perLine; ++j)
    if ((offset + step * j) % perLine == 0) {
      int32_t every = 1;
      while (step * every % perLine != 0) every *= 2;
      return {int32_t(j), every};
    }
  return {0, 1};
}

// The blocks of n columns of workPerColumn each for `threads` threads,
// every edge at a column that starts on a cache line where there are such
// columns (see lineColumns).
inline Blocks shareBlocks(int32_t n, double workPerColumn, const double *out, int32_t rows,
                          int threads) {
  double size = double(n) / (double(threads) * kBlocksPerThread);
  if (workPerColumn > 0 && size * workPerColumn < kLeastBlockWork)
    size = kLeastBlockWork / workPerColumn;
  const int32_t most = columnsPerBlock(workPerColumn);
  int32_t columns = size >= most ? most : size < 1 ? 1 : int32_t(size + 0.5);
  const LineColumns lines = lineColumns(out, rows);
  const int32_t step = columns >= kColumnStep ? kColumnStep : lines.every;
  columns = columns < step ? step : (columns + step / 2) / step * step;
  const int64_t first = int64_t(lines.first) + columns;
  return {n, first < n ? int32_t(first) : n, columns};
}

// How many blocks there are.
inline int64_t blockCount(const Blocks &b) {
  if (b.n <= 0) return 0;
  if (b.first >= b.n) return 1;
  return (b.first > 0) + (int64_t(b.n) - b.first + b.size - 1) / b.size;
}

template <class Body>
void runBody(void *body, int32_t j0, int32_t j1) {
  (*static_cast<Body *>(body))(j0, j1);
}

// Runs body(j0, j1) over the blocks on up to `threads` threads, the calling
// one among them (runBlocks says what happens, and when).
template <class Body>
Shared forSharedBlocks(const Blocks &blocks, int threads, Poll poll, AtUnload atUnload,
                       Body &body) {
  return runBlocks(blocks, threads, poll, atUnload, runBody<std::remove_reference_t<Body>>,
                   const_cast<void *>(static_cast<const void *>(&body)));
}

// Runs body(j0, j1) over [0, n) as forColumnBlocks does, on the module's
// worker threads as well when the call is large and more than one thread
// is wanted. out and rows are the output's start and row count, for placing
// the edges of shared blocks.
template <class Body>
bool forColumnBlocksOnThreads(int32_t n, double workPerColumn, const double *out, int32_t rows,
                              Poll poll, AtUnload atUnload, Body &&body) {
  const int threads = double(n) * workPerColumn < kSharedWork ? 1 : threadsWanted(poll);
  if (threads > 1) {
    const Blocks blocks = shareBlocks(n, workPerColumn, out, rows, threads);
    const int64_t count = blockCount(blocks);
    if (count > 1) {
      const Shared r =
          forSharedBlocks(blocks, count < threads ? int(count) : threads, poll, atUnload, body);
      if (r != Shared::kNotShared) return r == Shared::kDone;
    }
  }
  return forColumnBlocks(n, columnsPerBlock(workPerColumn), poll, body);
}

}  // namespace gateway

#endif
