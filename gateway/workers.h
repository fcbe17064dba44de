// A module's worker threads, which run the column blocks of a large call
// beside the calling thread. They only ever run blocks of a kernel: they
// never call the host, never throw, and are joined before the module is
// unloaded (the host's exit function in a MEX build, the module's own
// teardown elsewhere). Host-neutral, like the block loop that uses them
// (gateway/output_blocks.h).
#ifndef EXACTMEX_GATEWAY_WORKERS_H
#define EXACTMEX_GATEWAY_WORKERS_H

#include <cstdint>

namespace gateway {

// What the calling thread asks its host, and no other thread does: whether
// to go on, between blocks, never during one (a null goOn never stops); and
// the most threads the host lets the call use, once, by a call large enough
// to share (null or 0: no limit of the host's).
struct Poll {
  bool (*goOn)(void *ctx);
  void *ctx;
  int (*threadLimit)(void *ctx) = nullptr;
};

// Blocks of [0, n), of rows or of columns: [0, first), then size each from
// first on, the last one cut at n. An empty first block (first == 0) is
// skipped; first >= n makes one block of all n.
struct Blocks {
  int32_t n, first, size;
};

// Blocks of an output: its rows split as `rows`, its columns as `cols`.
// They are handed out a column block at a time, its row blocks in order.
struct Grid {
  Blocks rows, cols;
};

// Rows [i0, i1) of columns [j0, j1).
struct Block {
  int32_t i0, i1, j0, j1;
};

// How many blocks there are.
inline int64_t blockCount(const Blocks &b) {
  if (b.n <= 0) return 0;
  if (b.first >= b.n) return 1;
  return (b.first > 0) + (int64_t(b.n) - b.first + b.size - 1) / b.size;
}
inline int64_t blockCount(const Grid &g) { return blockCount(g.rows) * blockCount(g.cols); }

// Block k of b, 0 <= k < blockCount(b), into [*begin, *end).
inline void blockAt(const Blocks &b, int64_t k, int32_t *begin, int32_t *end) {
  if (b.first >= b.n) {
    *begin = 0, *end = b.n;
    return;
  }
  const int64_t start = k == 0 ? 0 : b.first + (k - (b.first > 0)) * int64_t(b.size);
  const int64_t stop = start < b.first ? b.first : start + b.size;
  *begin = int32_t(start);
  *end = stop < b.n ? int32_t(stop) : b.n;
}

// Block k of g, 0 <= k < blockCount(g), in the order they are handed out.
inline Block blockAt(const Grid &g, int64_t k) {
  const int64_t rowBlocks = blockCount(g.rows);
  Block r;
  blockAt(g.rows, k % rowBlocks, &r.i0, &r.i1);
  blockAt(g.cols, k / rowBlocks, &r.j0, &r.j1);
  return r;
}

// Registers a function for the host to call before it unloads the module
// (mexAtExit); null where the module's own teardown at unload is enough.
using AtUnload = void (*)(void (*release)(void));

// The threads a large call may use: EXACTMEX_THREADS when it holds a whole
// number of at least 1, read at every call so that a change made from MATLAB
// or Octave (setenv) takes effect at the next one; otherwise the CPUs this
// process may run on, or the host's limit (poll.threadLimit) when it is
// lower.
int threadsWanted(const Poll &poll);

// What runBlocks did.
enum class Shared { kDone, kStopped, kNotShared };

// Runs run(body, block) over the blocks on the calling thread and up to
// threads - 1 workers of this module's pool, each block once, in any order
// and at once. The calling thread asks poll between its own blocks; when it
// says stop, no further block is handed out and the call returns kStopped
// once the blocks already running have ended. kNotShared when the pool is
// in use by another thread of the process or cannot be had: nothing was
// run. Workers that cannot be started leave their share to the others.
// When it returns, every store of every block is visible to the caller.
Shared runBlocks(const Grid &grid, int threads, Poll poll, AtUnload atUnload,
                 void (*run)(void *body, const Block &block), void *body);

// Ends the pool's workers and joins them; the next call that needs workers
// starts new ones. What the host's exit function runs.
void releaseWorkers();

}  // namespace gateway

#endif
