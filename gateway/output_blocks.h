// The one loop that runs a module's kernel over its output: blocks of it,
// each small enough to take a few milliseconds, with a question to the host
// between blocks (has the user interrupted?) asked on the calling thread.
// Every output element depends on its own inputs alone, so where the blocks
// begin and end, and which thread runs each, never changes a bit of the
// result; a kernel called on a block writes that block of the whole output
// and nothing else. A large call shares its blocks with the module's worker
// threads (gateway/workers.h).
//
// The broadcast modules take blocks of whole columns. The pairwise tables
// take blocks of rows and columns (pairGrid): a block of whole columns of a
// tall table would hold only a column or two, too few for a kernel to reuse
// what it loads, and each would read the whole first input again.
// Host-neutral: the entry point supplies the question, the gateway the body.
#ifndef EXACTMEX_GATEWAY_OUTPUT_BLOCKS_H
#define EXACTMEX_GATEWAY_OUTPUT_BLOCKS_H

#include <cmath>
#include <cstdint>
#include <type_traits>

#include "gateway/workers.h"
#include "simd/targets.h"

namespace gateway {

using simd::kBlockColumnStep;

// Work of one block, in the units workPerColumn is given in: elements
// written, or terms of a sum, weighted where a term costs more (a division,
// a logarithm); about a nanosecond each. A block then takes some tens of
// milliseconds: below the tenth of a second a user waits after Ctrl-C, and
// long enough that what a kernel does once per block (the pairwise kernels
// pack the first input's columns) stays a few percent of it at most.
constexpr double kBlockWork = 2e7;

// Columns per block for columns of this much work each: at least one.
inline int32_t columnsPerBlock(double workPerColumn) {
  if (!(workPerColumn * INT32_MAX > kBlockWork)) return INT32_MAX;
  const double columns = kBlockWork / workPerColumn;
  return columns < 1 ? 1 : static_cast<int32_t>(columns);
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

// The work of one block of a call of `work` in all on `threads` threads.
inline double blockWork(double work, int threads) {
  if (threads <= 1) return kBlockWork;
  const double share = work / (double(threads) * kBlocksPerThread);
  return share < kLeastBlockWork ? kLeastBlockWork : share > kBlockWork ? kBlockWork : share;
}

// The columns of an output of `rows` rows at `out` that start on a cache
// line: first (one of the first columns, as many as a line holds elements)
// and every `every`-th after it. {0, 1} when no column does: whole lines of
// rows on an output not itself on a line (as most allocators place large
// blocks), where the two blocks at each edge then share the one line there;
// a few writes to one line per block of a hundred KiB or more cost nothing
// measurable.
struct LineColumns {
  int32_t first, every;
};

// Elements of T (double or float): the output's element size counts.
template <class T>
LineColumns lineColumns(const T *out, int32_t rows) {
  constexpr uint32_t perLine = simd::kLineBytes / sizeof(T);
  const uintptr_t at = reinterpret_cast<uintptr_t>(out);
  if (at % sizeof(T) != 0 || rows < 0) return {0, 1};
  const uint32_t offset = at / sizeof(T) % perLine, step = uint32_t(rows) % perLine;
  for (uint32_t j = 0; j < perLine; ++j)
    if ((offset + step * j) % perLine == 0) {
      int32_t every = 1;
      while (step * every % perLine != 0) every *= 2;
      return {int32_t(j), every};
    }
  return {0, 1};
}

// Blocks of n columns of workPerColumn each for `threads` threads, of at
// most `most` columns, every edge at a column that starts on a cache line
// where there are such columns (see lineColumns).
template <class T>
Blocks shareBlocks(int32_t n, double workPerColumn, const T *out, int32_t rows, int threads,
                   int32_t most = INT32_MAX) {
  double size = double(n) / (double(threads) * kBlocksPerThread);
  if (workPerColumn > 0 && size * workPerColumn < kLeastBlockWork)
    size = kLeastBlockWork / workPerColumn;
  const int32_t perBlock = columnsPerBlock(workPerColumn);
  if (most > perBlock) most = perBlock;
  int32_t columns = size >= most ? most : size < 1 ? 1 : int32_t(size + 0.5);
  const LineColumns lines = lineColumns(out, rows);
  const int32_t step = columns >= kBlockColumnStep ? kBlockColumnStep : lines.every;
  columns = columns < step ? step : (columns + step / 2) / step * step;
  const int64_t first = int64_t(lines.first) + columns;
  return {n, first < n ? int32_t(first) : n, columns};
}

// All of [0, n) in one block.
inline Blocks whole(int32_t n) { return {n, n, n}; }

// A block of a pairwise table reads its rows' columns of the first input
// from memory once, and its columns' columns of the second input once from
// memory and then again for every run of panels of the first (simd/
// pair_tile.h): it reads least from memory for its work as a square, and
// the second input's part of it should stay in the caches near the core.
// Measured, a square block whose second-input part is a MiB or so, more
// than this machine's second-level cache, ran faster than narrower blocks
// that fit it: the re-reads come from the third level at no visible cost,
// while narrow blocks read the first input from memory more often.
constexpr double kColumnCacheBytes = 1024 * 1024;

// Blocks of an m-by-n table whose element costs workPerElement and whose
// kernel reads bytesPerColumn of input for each of its columns, for
// `threads` threads. Rows split only where whole columns would make blocks
// too narrow: a block is then about as many columns as rows, up to the
// columns kColumnCacheBytes allows. Row edges start a cache line in every
// column where the columns are a whole number of lines long, so no two
// threads write one.
template <class T>
Grid pairGrid(int32_t m, int32_t n, double workPerElement, double bytesPerColumn, const T *out,
              int threads) {
  const double w = workPerElement > 0 ? workPerElement : 1;
  const double work = blockWork(double(m) * n * w, threads);
  double cached = kColumnCacheBytes / (bytesPerColumn > 0 ? bytesPerColumn : 1);
  if (cached < kBlockColumnStep) cached = kBlockColumnStep;
  const double columns = std::fmin(cached, std::sqrt(work / w));
  const double rows = work / (columns * w);
  constexpr int32_t step = simd::kBlockRowStep;
  if (rows >= m || m <= 2 * step) {
    if (threads > 1) return {whole(m), shareBlocks(n, m * w, out, m, threads, int32_t(cached))};
    int32_t width = int32_t(std::fmin(cached, columnsPerBlock(m * w)));
    if (width > kBlockColumnStep) width = width / kBlockColumnStep * kBlockColumnStep;
    return {whole(m), {n, 0, width}};
  }
  const int32_t height = rows < step ? step : int32_t(rows / step) * step;
  const int32_t width = int32_t(columns / kBlockColumnStep + 0.5) * kBlockColumnStep;
  // Rows before the first line boundary, the same in every column.
  const uintptr_t at = reinterpret_cast<uintptr_t>(out);
  const int32_t perLine = int32_t(simd::kLineBytes / sizeof(T));
  const int32_t lead = m % perLine == 0 && at % sizeof(T) == 0
                           ? int32_t((perLine - at / sizeof(T) % perLine) % perLine)
                           : 0;
  return {{m, lead + height, height}, {n, 0, width < kBlockColumnStep ? kBlockColumnStep : width}};
}

// A table kept by whole columns (the nearest columns of each: simd/
// nearest.h takes each column's rows in one pass) is cut into blocks of
// whole columns only. A block reads all of the first input from memory once,
// so it takes kNearestColumns columns or more, as the cache allows, even where
// that is more than a block's work: measured, blocks of 96 columns of 128
// rows against 50,000 ran 15% slower than blocks of 384, whose first input
// is read a quarter as often.
constexpr int32_t kNearestColumns = 384;

// Blocks of whole columns of an m-by-n table kept by columns, as pairGrid
// (whose arguments these are) would make them were the rows not to be cut:
// of about even widths, and as many of them as a multiple of the threads.
inline Grid nearestGrid(int32_t m, int32_t n, double workPerElement, double bytesPerColumn,
                        int threads) {
  const double w = workPerElement > 0 ? workPerElement : 1;
  double cached = kColumnCacheBytes / (bytesPerColumn > 0 ? bytesPerColumn : 1);
  if (cached < kBlockColumnStep) cached = kBlockColumnStep;
  double columns = blockWork(double(m) * n * w, threads) / (double(m > 0 ? m : 1) * w);
  columns = std::fmin(std::fmax(columns, std::fmin(cached, kNearestColumns)), cached);
  double count = n > columns ? std::ceil(n / columns) : 1;
  if (threads > 1) count = std::ceil(count / threads) * threads;
  // A whole number of column steps, unless that leaves fewer blocks.
  double even = std::ceil(n / count / kBlockColumnStep) * kBlockColumnStep;
  if (std::ceil(n / even) < count) even = std::ceil(n / count);
  return {whole(m), {n, 0, even >= n ? (n > 0 ? n : 1) : int32_t(even)}};
}

// Runs body(block) over every block of g in order, and poll between blocks.
// Returns true when every block was done, false when poll said stop: later
// blocks are not run, and the output is incomplete. A body writes its
// block of the output and only reads everything else, so blocks could as
// well run in any order or at once; poll, the host's, must stay on the
// calling thread.
template <class Body>
bool forBlocks(const Grid &g, Poll poll, Body &&body) {
  const int64_t count = blockCount(g);
  for (int64_t k = 0; k < count; ++k) {
    body(blockAt(g, k));
    if (k + 1 < count && poll.goOn && !poll.goOn(poll.ctx)) return false;
  }
  return true;
}

template <class Body>
void runBody(void *body, const Block &b) {
  (*static_cast<Body *>(body))(b);
}

// Runs body(block) over the blocks of g on up to `threads` threads, the
// calling one among them (runBlocks says what happens, and when).
template <class Body>
Shared forSharedBlocks(const Grid &g, int threads, Poll poll, AtUnload atUnload, Body &body) {
  return runBlocks(g, threads, poll, atUnload, runBody<std::remove_reference_t<Body>>,
                   const_cast<void *>(static_cast<const void *>(&body)));
}

// Runs body(block) over the blocks of plan(threads), on the module's worker
// threads as well when the call's work is large and more than one thread is
// wanted; otherwise over plan(1), on the calling thread alone, as forBlocks
// does.
template <class Plan, class Body>
bool forBlocksOnThreads(double work, Plan &&plan, Poll poll, AtUnload atUnload, Body &&body) {
  const int threads = work < kSharedWork ? 1 : threadsWanted(poll);
  if (threads > 1) {
    const Grid g = plan(threads);
    const int64_t count = blockCount(g);
    if (count > 1) {
      const Shared r =
          forSharedBlocks(g, count < threads ? int(count) : threads, poll, atUnload, body);
      if (r != Shared::kNotShared) return r == Shared::kDone;
    }
  }
  return forBlocks(plan(1), poll, body);
}

}  // namespace gateway

#endif
