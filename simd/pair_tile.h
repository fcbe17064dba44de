// The loop of every kernel that takes pairs of columns: every pair of a column
// i of A (d-by-N1) and a column j of B (d-by-N2) in a block of rows [i0, i1)
// and columns [j0, j1) of the N1-by-N2 table, one running value per pair
// taking the rows of A and B in increasing order, in the vector operations of
// the target being built (simd/vec.h). Lanes hold different columns of A, so
// different pairs, never terms of one pair: each pair computes exactly what
// the plain loop computes. What becomes of a finished value is the output
// stage's business: stored in the table, or offered to a column's best.
//
// What it blocks for, from the innermost loop out:
// - Registers. A panel of kWidth consecutive columns of A goes against
//   kTileCols columns of B at a time, each element of B broadcast to all
//   lanes: kPanelVecs x kTileCols running values, with the panel's vectors
//   and a broadcast, stay in the target's registers (simd/vec_TARGET.h) for
//   the whole column.
// - The first-level cache. Panels are copied, transposed, into a tile on the
//   stack (kTileDoubles, 32 KiB with AVX-512), so one vector load gives one
//   row of kLanes columns. Short columns let the tile hold a run of panels,
//   packed once and then visited by every column of B's block. Columns
//   longer than kChunkRows go a chunk of rows at a time: a panel's chunk is
//   packed once for a slab of kSlabCols columns of B, whose running values
//   wait in a buffer from one chunk to the next.
// - The second-level cache. The caller's block of B's columns is small
//   enough to stay there (gateway/output_blocks.h), so the runs of panels of
//   a tall block of rows each read it from that cache, not from memory; and
//   its rows few enough that packing them is paid for by many columns of B.
//   A block of whole columns of a tall table would hold a column or two.
//
// Included once per target, after simd/vec.h (simd/target_slot.h): no
// include guard.
#include <cmath>
#include <type_traits>
#include <utility>

namespace SIMD_NAMESPACE {
namespace {

constexpr int kWidth = kPanelVecs * kLanes;
constexpr int32_t kChunkRows = 256;
static_assert(simd::kBlockRowStep % kWidth == 0, "row blocks must not cut a panel short");
static_assert(simd::kBlockColumnStep % kTileCols == 0, "nor column blocks a tile's columns");

// t * log(t) for t > 0, otherwise 0, with the C library's log.
inline double xlogx(double t) { return t > 0.0 ? t * std::log(t) : 0.0; }

// xlogx of each of the kN values at x, in place; out of line where there
// are several, so that a caller's vectors are saved once around all the
// calls, not around each.
SIMD_NOINLINE inline void xlogxEach(double *x, int n) {
  for (int e = 0; e < n; ++e) x[e] = xlogx(x[e]);
}
template <int kN>
void xlogxAll(double *x) {
  if constexpr (kN == 1)
    x[0] = xlogx(x[0]);
  else
    xlogxEach(x, kN);
}

// What a metric provides. kSumFromZero: the running value starts at +0 and
// takes every term, otherwise it starts as the first row's term. step(r, t)
// takes term t into the running value r, finish(r, j) makes column j's
// result of it. term(a, b) is the term of a = A(k, i) and b = B(k, j); a
// metric built on xlogx (kLogs) gives mean(a, b) instead and term(xlogx(a),
// xlogx(b), xlogx(mean)).
template <class M>
constexpr bool isMetric() {
  static_assert(std::is_same_v<decltype(M::kLogs), const bool>, "a metric says kLogs");
  static_assert(std::is_same_v<decltype(M::kSumFromZero), const bool>, "and kSumFromZero");
  using Step = Vec (M::*)(Vec, Vec) const;
  using Finish = Vec (M::*)(Vec, int32_t) const;
  static_assert(static_cast<Step>(&M::step) != nullptr, "step(running, term)");
  static_assert(static_cast<Finish>(&M::finish) != nullptr, "finish(running, j)");
  if constexpr (M::kLogs) {
    using Term = Vec (M::*)(Vec, Vec, Vec) const;
    static_assert(static_cast<Step>(&M::mean) != nullptr, "mean(a, b)");
    static_assert(static_cast<Term>(&M::term) != nullptr, "term(xa, xb, xmean)");
  } else {
    static_assert(static_cast<Step>(&M::term) != nullptr, "term(a, b)");
  }
  return true;
}

// What an output stage provides. take<kCols>(r, i, width, j) takes the
// finished values of rows [i, i + width) of columns [j, j + kCols): r[v][c]
// holds rows i + v * kLanes on of column j + c, and lanes past width hold no
// pair. Within a column, rows come in increasing order. lead(i0, j0) is how
// many rows from i0 on the stage would have in a run of their own before
// the full panels start (where its stores want an alignment), 0 for none.
template <class O>
constexpr bool isOutput() {
  using Lead = int32_t (O::*)(int32_t, int32_t) const;
  static_assert(static_cast<Lead>(&O::lead) != nullptr, "an output stage gives lead(i0, j0)");
  using Finished = const Vec(*)[kPanelVecs][1];
  static_assert(std::is_void_v<decltype(std::declval<O &>().template take<1>(
                    *Finished(), int32_t(), int32_t(), int32_t()))>,
                "and take<kCols>(finished, i, width, j)");
  return true;
}

// The stack tile: panels of A, side by side, kWidth doubles per row, and for
// metrics built on xlogx that of every element of the panels and of the
// current columns of B.
constexpr int32_t kTileDoubles = kChunkRows * kWidth;
template <bool kLogs>
struct Tile {
  alignas(64) double a[kTileDoubles];
  alignas(64) double xa[kLogs ? kTileDoubles : 1];
  alignas(64) double xb[kLogs ? kChunkRows * kTileCols : 1];
};

// Rows [k0, k0 + rows) of the width columns at A into the panel at pa (and
// their xlogx at pxa); lanes past width hold zeros, computed on but never
// stored.
template <bool kLogs>
void pack(const double *A, ptrdiff_t d, int32_t width, int32_t k0, int32_t rows, double *pa,
          double *pxa) {
  for (int l = 0; l < kWidth; ++l) {
    const double *col = l < width ? A + l * d + k0 : nullptr;
    for (int32_t k = 0; k < rows; ++k) pa[k * kWidth + l] = col ? col[k] : 0.0;
  }
  if constexpr (kLogs)
    for (int32_t e = 0; e < rows * kWidth; ++e) pxa[e] = xlogx(pa[e]);
}

// xlogx of rows [k0, k0 + rows) of kCols columns of B, row by row.
template <int kCols>
void xlogxColumns(const double *B, ptrdiff_t d, int32_t k0, int32_t rows, double *xb) {
  for (int32_t k = 0; k < rows; ++k)
    for (int c = 0; c < kCols; ++c) xb[k * kCols + c] = xlogx(B[c * d + k0 + k]);
}

// Row k of a panel (pa, pxa) against row k of kCols columns at B, d apart.
template <int kCols, bool kFirst, class Metric>
inline void row(const Metric &mt, const double *pa, const double *pxa, const double *pxb,
                const double *B, ptrdiff_t d, int32_t k, Vec (&acc)[kPanelVecs][kCols]) {
  Vec a[kPanelVecs];
  for (int v = 0; v < kPanelVecs; ++v) a[v] = load(pa + k * kWidth + v * kLanes);
  if constexpr (Metric::kLogs) {
    // All the logs of the row in one pass.
    alignas(64) double xm[kCols * kWidth];
    for (int c = 0; c < kCols; ++c) {
      const Vec b = splat(B[c * d + k]);
      for (int v = 0; v < kPanelVecs; ++v)
        store(xm + (c * kPanelVecs + v) * kLanes, mt.mean(a[v], b));
    }
    xlogxAll<kCols * kWidth>(xm);
    for (int c = 0; c < kCols; ++c) {
      const Vec xb = splat(pxb[k * kCols + c]);
      for (int v = 0; v < kPanelVecs; ++v) {
        const Vec xa = load(pxa + k * kWidth + v * kLanes);
        const Vec t = mt.term(xa, xb, load(xm + (c * kPanelVecs + v) * kLanes));
        acc[v][c] = kFirst ? t : mt.step(acc[v][c], t);
      }
    }
  } else {
    for (int c = 0; c < kCols; ++c) {
      const Vec b = splat(B[c * d + k]);
      for (int v = 0; v < kPanelVecs; ++v) {
        const Vec t = mt.term(a[v], b);
        acc[v][c] = kFirst ? t : mt.step(acc[v][c], t);
      }
    }
  }
}

// Rows [k0, k0 + rows) of the pairs of a panel packed at pa (pxa: its
// xlogx; t.xb: that of B's columns) with kCols columns of B from column j.
// The running values start at +0 (replaced by the first row's term where
// the metric says so) when k0 is 0, otherwise they come from `carried`;
// while rows remain they wait there, and after the last row they go to the
// output stage as rows [i, i + width) of those columns. Without kChunk the
// rows are known to be all of them (k0 = 0, rows = d): nothing is carried.
template <int kCols, bool kChunk, class Metric, class Output>
void pairTile(const Metric &mt, Output &out, const Tile<Metric::kLogs> &t, const double *pa,
              const double *pxa, const double *B, ptrdiff_t d, int32_t k0, int32_t rows, int32_t i,
              int32_t width, int32_t j, double *carried) {
  const double *Bk = B + j * d + k0;
  const bool first = !kChunk || k0 == 0;
  Vec acc[kPanelVecs][kCols];
  for (int v = 0; v < kPanelVecs; ++v)
    for (int c = 0; c < kCols; ++c)
      acc[v][c] = first ? splat(0.0) : load(carried + (c * kPanelVecs + v) * kLanes);
  int32_t k = 0;
  if (!Metric::kSumFromZero && first) row<kCols, true>(mt, pa, pxa, t.xb, Bk, d, k++, acc);
  for (; k < (kChunk ? rows : d); ++k) row<kCols, false>(mt, pa, pxa, t.xb, Bk, d, k, acc);
  if (kChunk && k0 + rows < d) {
    for (int v = 0; v < kPanelVecs; ++v)
      for (int c = 0; c < kCols; ++c) store(carried + (c * kPanelVecs + v) * kLanes, acc[v][c]);
    return;
  }
  for (int v = 0; v < kPanelVecs; ++v)
    for (int c = 0; c < kCols; ++c) acc[v][c] = mt.finish(acc[v][c], j + c);
  out.template take<kCols>(acc, i, width, j);
}

// kCols columns of B from column j against the run of panels packed in the
// tile, rows [i, i + width) of A, over their rows [k0, k0 + rows) (a run of
// one panel when that is not all of them).
template <int kCols, bool kChunk, class Metric, class Output>
void columnsAgainstRun(const Metric &mt, Output &out, Tile<Metric::kLogs> &t, const double *B,
                       int32_t d, int32_t k0, int32_t rows, int32_t i, int32_t width, int32_t j,
                       double *carried) {
  if constexpr (Metric::kLogs) xlogxColumns<kCols>(B + ptrdiff_t(j) * d, d, k0, rows, t.xb);
  for (int32_t p = 0; p < width; p += kWidth) {
    const ptrdiff_t at = ptrdiff_t(p) * rows;
    pairTile<kCols, kChunk>(mt, out, t, t.a + at, t.xa + (Metric::kLogs ? at : 0), B, d, k0, rows,
                            i + p, width - p < kWidth ? width - p : kWidth, j, carried);
  }
}

// Columns of B whose running values are carried at once.
constexpr int32_t kSlabCols = 48;
static_assert(kSlabCols % kTileCols == 0, "a slab is whole tiles of columns");

// One panel of long columns (rows [i, i + width) of A) against columns
// [j0, j1) of B, kSlabCols at a time: each chunk of rows of the panel is
// packed once per slab and used by all its columns, whose running values
// wait in `carried` from chunk to chunk. Out of line: inlined in the pair
// loop, it left the loop over whole columns short of registers (measured
// with GCC 12 on AVX2: the tile's column pointers spilled).
template <class Metric, class Output>
SIMD_NOINLINE void longColumns(const Metric &mt, Output &out, Tile<Metric::kLogs> &t,
                               const double *A, const double *B, int32_t d, int32_t i,
                               int32_t width, int32_t j0, int32_t j1) {
  alignas(64) double carried[kSlabCols * kWidth];
  for (int32_t js = j0; js < j1; js += kSlabCols) {
    const int32_t je = j1 - js < kSlabCols ? j1 : js + kSlabCols;
    for (int32_t k0 = 0; k0 < d; k0 += kChunkRows) {
      const int32_t rows = d - k0 < kChunkRows ? d - k0 : kChunkRows;
      pack<Metric::kLogs>(A + ptrdiff_t(i) * d, d, width, k0, rows, t.a, t.xa);
      int32_t j = js;
      for (; je - j >= kTileCols; j += kTileCols)
        columnsAgainstRun<kTileCols, true>(mt, out, t, B, d, k0, rows, i, width, j,
                                           carried + (j - js) * kWidth);
      for (; j < je; ++j)
        columnsAgainstRun<1, true>(mt, out, t, B, d, k0, rows, i, width, j,
                                   carried + (j - js) * kWidth);
    }
  }
}

// Every pair of rows [i0, i1) and columns [j0, j1) of the table, each
// finished value handed to out. Runs of A's columns, as many panels as the
// tile holds when the columns fit in it whole (one panel when they do not),
// after a first run of out.lead(i0, j0) columns when that is not 0; every
// column of the block goes against a run before the next run, so a packed
// panel is used by all of the block's columns.
template <class Metric, class Output>
void pairs(const Metric &mt, Output &out, const double *A, const double *B, int32_t d, int32_t i0,
           int32_t i1, int32_t j0, int32_t j1) {
  static_assert(isMetric<Metric>() && isOutput<Output>());
  Tile<Metric::kLogs> t;
  const bool whole = d <= kChunkRows;
  const int32_t runWidth = whole && d > 0 ? kTileDoubles / d / kWidth * kWidth : kWidth;
  const int32_t head = out.lead(i0, j0);
  for (int32_t i = i0; i < i1;) {
    const int32_t most = i == i0 && head > 0 ? head : runWidth;
    const int32_t width = i1 - i < most ? i1 - i : most;
    if (whole) {
      for (int32_t p = 0; p < width; p += kWidth)
        pack<Metric::kLogs>(A + ptrdiff_t(i + p) * d, d, width - p < kWidth ? width - p : kWidth, 0,
                            d, t.a + ptrdiff_t(p) * d, t.xa + (Metric::kLogs ? p * d : 0));
      int32_t j = j0;
      // Every row at once: nothing is carried.
      for (; j1 - j >= kTileCols; j += kTileCols)
        columnsAgainstRun<kTileCols, false>(mt, out, t, B, d, 0, d, i, width, j, nullptr);
      for (; j < j1; ++j) columnsAgainstRun<1, false>(mt, out, t, B, d, 0, d, i, width, j, nullptr);
    } else {
      longColumns(mt, out, t, A, B, d, i, width, j0, j1);
    }
    i += width;
  }
}

// The output stage of a table: element (i, j) of the N1-by-N2 table D at
// i + j * N1. With kStream, full panels go out with streaming stores (whole
// cache lines): D's columns are a whole number of lines long, so all of
// them meet line boundaries at the same rows, and the rows before the
// block's first boundary go as a run of their own (lead), so that every
// full panel after them starts at one.
template <bool kStream>
struct StoreTable {
  double *D;
  ptrdiff_t N1;

  int32_t lead(int32_t i0, int32_t j0) const {
    return kStream ? elementsToLine(D + i0 + j0 * N1) : 0;
  }

  template <int kCols>
  void take(const Vec (&r)[kPanelVecs][kCols], int32_t i, int32_t width, int32_t j) {
    for (int c = 0; c < kCols; ++c) {
      double *to = D + i + (j + c) * N1;
      for (int v = 0; v < kPanelVecs; ++v) {
        const int32_t lanes = width - v * kLanes;
        if (lanes >= kLanes) {
          if (kStream && width == kWidth)
            stream(to + v * kLanes, r[v][c]);
          else
            store(to + v * kLanes, r[v][c]);
        } else if (lanes > 0) {
          alignas(64) double part[kLanes];
          store(part, r[v][c]);
          for (int32_t l = 0; l < lanes; ++l) to[v * kLanes + l] = part[l];
        }
      }
    }
  }
};

}  // namespace
}  // namespace SIMD_NAMESPACE
