// Blocks of an output: how a grid of them cuts its rows and columns, and
// which block is the k-th. The block loop (gateway/output_blocks.h) plans
// them; the calling thread and the worker pool (gateway/workers.h) hand them
// out by number.
#ifndef EXACTMEX_GATEWAY_BLOCKS_H
#define EXACTMEX_GATEWAY_BLOCKS_H

#include <cstdint>

namespace gateway {

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

}  // namespace gateway

#endif
