// The loop of every kernel that takes pairs of columns: every pair of a column
// i of A (d-by-N1) and a column j of B (d-by-N2) in a block of rows [i0, i1)
// and columns [j0, j1) of the N1-by-N2 table, one running value per pair
// taking the rows of A and B in increasing order, in the vector operations of
// the target being built (simd/vec.h). Lanes hold different columns of A, so
// different pairs, never terms of one pair: each pair computes exactly what
// the plain loop computes. What becomes of a finished value is the output
// stage's business: stored in the table, or offered to a column's best.
//
// Data of class T is computed in ComputedIn<T>: single in single vectors,
// twice the lanes of doubles; double, and every integer class in doubles,
// exactly as the double loop computes them. Nothing is converted whole: an
// integer element becomes a double where it is packed, A's into the tile
// and B's, a chunk of a few columns at a time, beside it. The loop over a
// tile's pairs does not depend on which integer class it was, so the
// integer classes share one copy of it.
//
// What it blocks for, from the innermost loop out:
// - Registers. A panel of kWidth consecutive columns of A goes against
//   kTileCols columns of B at a time, each element of B broadcast to all
//   lanes: kPanelVecs x kTileCols running values, with the panel's vectors
//   and a broadcast, stay in the target's registers (simd/vec_TARGET.h) for
//   the whole column.
// - The first-level cache. Panels are copied, transposed, into a tile on the
//   stack (kTileElements, 32 KiB with AVX-512), so one vector load gives one
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

// What data of class T is computed in (see above).
template <class T>
using ComputedIn = std::conditional_t<std::is_same_v<T, float>, float, double>;
// Whether B's elements are read where they lie (double, single) or
// converted as they are packed (the integers).
template <class T>
constexpr bool kConverts = !std::is_same_v<T, ComputedIn<T>>;

// Columns of A in a panel, of elements C: the same registers hold twice the
// floats.
template <class C>
constexpr int kWidth = (kPanelVecs * kLanesOf<C>);
constexpr int32_t kChunkRows = 256;
static_assert(simd::kBlockRowStep % kWidth<double> == 0 && simd::kBlockRowStep % kWidth<float> == 0,
              "row blocks must not cut a panel short");
static_assert(simd::kBlockColumnStep % kTileCols == 0, "nor column blocks a tile's columns");

// t * log(t) for t > 0, otherwise 0, with the C library's log.
inline double xlogx(double t) { return t > 0.0 ? t * std::log(t) : 0.0; }
// In single: the double log of the single value rounded to single, the
// multiply in single, so the same on every target whatever its library's
// single log gives.
inline float xlogx(float t) { return t > 0.0f ? t * float(std::log(double(t))) : 0.0f; }

// xlogx of each of the kN values at x, in place; out of line where there
// are several, so that a caller's vectors are saved once around all the
// calls, not around each.
template <class C>
SIMD_NOINLINE void xlogxEach(C *x, int n) {
  for (int e = 0; e < n; ++e) x[e] = xlogx(x[e]);
}
template <int kN, class C>
void xlogxAll(C *x) {
  if constexpr (kN == 1)
    x[0] = xlogx(x[0]);
  else
    xlogxEach(x, kN);
}

// What a metric provides. Calc, the type it computes in, and V, its
// vectors. kSumFromZero: the running value starts at +0 and takes every
// term, otherwise it starts as the first row's term. step(r, t) takes term
// t into the running value r, finish(r, j) makes column j's result of it.
// term(a, b) is the term of a = A(k, i) and b = B(k, j); a metric built on
// xlogx (kLogs) gives mean(a, b) instead and term(xlogx(a), xlogx(b),
// xlogx(mean)).
template <class M>
constexpr bool isMetric() {
  using V = typename M::V;
  static_assert(std::is_same_v<decltype(M::kLogs), const bool>, "a metric says kLogs");
  static_assert(std::is_same_v<decltype(M::kSumFromZero), const bool>, "and kSumFromZero");
  using Step = V (M::*)(V, V) const;
  using Finish = V (M::*)(V, int32_t) const;
  static_assert(static_cast<Step>(&M::step) != nullptr, "step(running, term)");
  static_assert(static_cast<Finish>(&M::finish) != nullptr, "finish(running, j)");
  if constexpr (M::kLogs) {
    using Term = V (M::*)(V, V, V) const;
    static_assert(static_cast<Step>(&M::mean) != nullptr, "mean(a, b)");
    static_assert(static_cast<Term>(&M::term) != nullptr, "term(xa, xb, xmean)");
  } else {
    static_assert(static_cast<Step>(&M::term) != nullptr, "term(a, b)");
  }
  return true;
}

// What an output stage provides. V, the vectors of its results.
// take<kCols>(r, i, width, j) takes the finished values of rows
// [i, i + width) of columns [j, j + kCols): r[v][c] holds rows
// i + v * lanes on of column j + c, and lanes past width hold no pair.
// Within a column, rows come in increasing order. lead(i0, j0) is how many
// rows from i0 on the stage would have in a run of their own before the
// full panels start (where its stores want an alignment), 0 for none.
template <class O>
constexpr bool isOutput() {
  using Lead = int32_t (O::*)(int32_t, int32_t) const;
  static_assert(static_cast<Lead>(&O::lead) != nullptr, "an output stage gives lead(i0, j0)");
  using Finished = const typename O::V(*)[kPanelVecs][1];
  static_assert(std::is_void_v<decltype(std::declval<O &>().template take<1>(
                    *Finished(), int32_t(), int32_t(), int32_t()))>,
                "and take<kCols>(finished, i, width, j)");
  return true;
}

// The stack tile: panels of A, side by side, kWidth elements per row; for
// metrics built on xlogx that of every element of the panels and of the
// current columns of B; and where B's elements are converted (kConverted),
// the current chunk of its columns, row by row.
template <class C>
constexpr int32_t kTileElements = (kChunkRows * kWidth<C>);
template <class C, bool kLogs, bool kConverted>
struct Tile {
  alignas(64) C a[kTileElements<C>];
  alignas(64) C xa[kLogs ? kTileElements<C> : 1];
  alignas(64) C xb[kLogs ? kChunkRows * kTileCols : 1];
  alignas(64) C b[kConverted ? kChunkRows * kTileCols : 1];
};
template <class Metric, class T>
using TileOf = Tile<typename Metric::Calc, Metric::kLogs, kConverts<T>>;

// Rows [k0, k0 + rows) of the width columns at A into the panel at pa (and
// their xlogx at pxa), each element converted to C; lanes past width hold
// zeros, computed on but never stored.
template <bool kLogs, class T, class C>
void pack(const T *A, ptrdiff_t d, int32_t width, int32_t k0, int32_t rows, C *pa, C *pxa) {
  constexpr int W = kWidth<C>;
  for (int l = 0; l < W; ++l) {
    const T *col = l < width ? A + l * d + k0 : nullptr;
    for (int32_t k = 0; k < rows; ++k) pa[k * W + l] = col ? C(col[k]) : C(0);
  }
  if constexpr (kLogs)
    for (int32_t e = 0; e < rows * W; ++e) pxa[e] = xlogx(pa[e]);
}

// xlogx of rows [k0, k0 + rows) of kCols columns of B, row by row.
template <int kCols, class C>
void xlogxColumns(const C *B, ptrdiff_t d, int32_t k0, int32_t rows, C *xb) {
  for (int32_t k = 0; k < rows; ++k)
    for (int c = 0; c < kCols; ++c) xb[k * kCols + c] = xlogx(B[c * d + k0 + k]);
}

// The classes converted as they are packed do it out of line, so that each
// adds little code: their pair loops are left with little but calls.
// pack() into the tile t, and rows [k0, k0 + rows) of kCols columns of B
// into t.b row by row (and their xlogx into t.xb).
template <bool kLogs, class T, class C>
SIMD_NOINLINE void packConverted(const T *A, ptrdiff_t d, int32_t width, int32_t k0, int32_t rows,
                                 C *pa, C *pxa) {
  pack<kLogs>(A, d, width, k0, rows, pa, pxa);
}
template <int kCols, bool kLogs, class T, class C>
SIMD_NOINLINE void convertColumns(const T *B, ptrdiff_t d, int32_t k0, int32_t rows, C *b, C *xb) {
  for (int32_t k = 0; k < rows; ++k)
    for (int c = 0; c < kCols; ++c) b[k * kCols + c] = C(B[c * d + k0 + k]);
  if constexpr (kLogs)
    for (int32_t e = 0; e < rows * kCols; ++e) xb[e] = xlogx(b[e]);
}
template <bool kLogs, class T, class C>
void packPanel(const T *A, ptrdiff_t d, int32_t width, int32_t k0, int32_t rows, C *pa, C *pxa) {
  if constexpr (kConverts<T>)
    packConverted<kLogs>(A, d, width, k0, rows, pa, pxa);
  else
    pack<kLogs>(A, d, width, k0, rows, pa, pxa);
}

// Row k of a panel (pa, pxa) against row k of kCols columns of B: at B, d
// apart, or converted (kConverted), from the tile's chunk of them.
template <int kCols, bool kFirst, bool kConverted, class Metric, class C, class V>
inline void row(const Metric &mt, const C *pa, const C *pxa, const C *pxb, const C *B, ptrdiff_t d,
                int32_t k, V (&acc)[kPanelVecs][kCols]) {
  constexpr int W = kWidth<C>, kL = kLanesOf<C>;
  const auto bAt = [&](int c) { return kConverted ? B[k * kCols + c] : B[c * d + k]; };
  V a[kPanelVecs];
  for (int v = 0; v < kPanelVecs; ++v) a[v] = load(pa + k * W + v * kL);
  if constexpr (Metric::kLogs) {
    // All the logs of the row in one pass.
    alignas(64) C xm[kCols * W];
    for (int c = 0; c < kCols; ++c) {
      const V b = splat(bAt(c));
      for (int v = 0; v < kPanelVecs; ++v) store(xm + (c * kPanelVecs + v) * kL, mt.mean(a[v], b));
    }
    xlogxAll<kCols * W>(xm);
    for (int c = 0; c < kCols; ++c) {
      const V xb = splat(pxb[k * kCols + c]);
      for (int v = 0; v < kPanelVecs; ++v) {
        const V xa = load(pxa + k * W + v * kL);
        const V t = mt.term(xa, xb, load(xm + (c * kPanelVecs + v) * kL));
        acc[v][c] = kFirst ? t : mt.step(acc[v][c], t);
      }
    }
  } else {
    for (int c = 0; c < kCols; ++c) {
      const V b = splat(bAt(c));
      for (int v = 0; v < kPanelVecs; ++v) {
        const V t = mt.term(a[v], b);
        acc[v][c] = kFirst ? t : mt.step(acc[v][c], t);
      }
    }
  }
}

// Rows [k0, k0 + rows) of the pairs of a panel packed at pa (pxa: its
// xlogx; t.xb: that of B's columns) with kCols columns of B from column j
// (at B, or converted in t.b). The running values start at +0 (replaced by
// the first row's term where the metric says so) when k0 is 0, otherwise
// they come from `carried`; while rows remain they wait there, and after
// the last row they go to the output stage as rows [i, i + width) of those
// columns. Without kChunk the rows are known to be all of them (k0 = 0,
// rows = d): nothing is carried.
template <int kCols, bool kChunk, class Metric, class Output, class C, bool kConverted>
void pairTile(const Metric &mt, Output &out, const Tile<C, Metric::kLogs, kConverted> &t,
              const C *pa, const C *pxa, const C *B, ptrdiff_t d, int32_t k0, int32_t rows,
              int32_t i, int32_t width, int32_t j, C *carried) {
  using V = typename Metric::V;
  constexpr int kL = kLanesOf<C>;
  const C *Bk = kConverted ? t.b : B + j * d + k0;
  const bool first = !kChunk || k0 == 0;
  V acc[kPanelVecs][kCols];
  for (int v = 0; v < kPanelVecs; ++v)
    for (int c = 0; c < kCols; ++c)
      acc[v][c] = first ? splat(C(0)) : load(carried + (c * kPanelVecs + v) * kL);
  int32_t k = 0;
  if (!Metric::kSumFromZero && first)
    row<kCols, true, kConverted>(mt, pa, pxa, t.xb, Bk, d, k++, acc);
  for (; k < (kChunk ? rows : d); ++k)
    row<kCols, false, kConverted>(mt, pa, pxa, t.xb, Bk, d, k, acc);
  if (kChunk && k0 + rows < d) {
    for (int v = 0; v < kPanelVecs; ++v)
      for (int c = 0; c < kCols; ++c) store(carried + (c * kPanelVecs + v) * kL, acc[v][c]);
    return;
  }
  for (int v = 0; v < kPanelVecs; ++v)
    for (int c = 0; c < kCols; ++c) acc[v][c] = mt.finish(acc[v][c], j + c);
  out.template take<kCols>(acc, i, width, j);
}

// kCols columns of B from column j, at B or converted in the tile, against
// the run of panels packed in the tile, rows [i, i + width) of A, over
// their rows [k0, k0 + rows) (a run of one panel when that is not all of
// them).
template <int kCols, bool kChunk, class Metric, class Output, class C, bool kConverted>
void panels(const Metric &mt, Output &out, Tile<C, Metric::kLogs, kConverted> &t, const C *B,
            int32_t d, int32_t k0, int32_t rows, int32_t i, int32_t width, int32_t j, C *carried) {
  constexpr int W = kWidth<C>;
  for (int32_t p = 0; p < width; p += W) {
    const ptrdiff_t at = ptrdiff_t(p) * rows;
    pairTile<kCols, kChunk>(mt, out, t, t.a + at, t.xa + (Metric::kLogs ? at : 0), B, d, k0, rows,
                            i + p, width - p < W ? width - p : W, j, carried);
  }
}
// The same out of line, one copy for all the classes converted to C.
template <int kCols, bool kChunk, class Metric, class Output, class C>
SIMD_NOINLINE void convertedPanels(const Metric &mt, Output &out, Tile<C, Metric::kLogs, true> &t,
                                   int32_t d, int32_t k0, int32_t rows, int32_t i, int32_t width,
                                   int32_t j, C *carried) {
  panels<kCols, kChunk>(mt, out, t, t.b, d, k0, rows, i, width, j, carried);
}

// kCols columns of B from column j against the run of panels in the tile:
// their xlogx made, or the columns converted, first.
template <int kCols, bool kChunk, class Metric, class Output, class T>
void columnsAgainstRun(const Metric &mt, Output &out, TileOf<Metric, T> &t, const T *B, int32_t d,
                       int32_t k0, int32_t rows, int32_t i, int32_t width, int32_t j,
                       typename Metric::Calc *carried) {
  if constexpr (kConverts<T>) {
    convertColumns<kCols, Metric::kLogs>(B + ptrdiff_t(j) * d, d, k0, rows, t.b, t.xb);
    convertedPanels<kCols, kChunk>(mt, out, t, d, k0, rows, i, width, j, carried);
  } else {
    if constexpr (Metric::kLogs) xlogxColumns<kCols>(B + ptrdiff_t(j) * d, d, k0, rows, t.xb);
    panels<kCols, kChunk>(mt, out, t, B, d, k0, rows, i, width, j, carried);
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
template <class Metric, class Output, class T>
SIMD_NOINLINE void longColumns(const Metric &mt, Output &out, TileOf<Metric, T> &t, const T *A,
                               const T *B, int32_t d, int32_t i, int32_t width, int32_t j0,
                               int32_t j1) {
  alignas(64) typename Metric::Calc carried[kSlabCols * kWidth<typename Metric::Calc>];
  constexpr int W = kWidth<typename Metric::Calc>;
  for (int32_t js = j0; js < j1; js += kSlabCols) {
    const int32_t je = j1 - js < kSlabCols ? j1 : js + kSlabCols;
    for (int32_t k0 = 0; k0 < d; k0 += kChunkRows) {
      const int32_t rows = d - k0 < kChunkRows ? d - k0 : kChunkRows;
      packPanel<Metric::kLogs>(A + ptrdiff_t(i) * d, d, width, k0, rows, t.a, t.xa);
      int32_t j = js;
      for (; je - j >= kTileCols; j += kTileCols)
        columnsAgainstRun<kTileCols, true>(mt, out, t, B, d, k0, rows, i, width, j,
                                           carried + (j - js) * W);
      for (; j < je; ++j)
        columnsAgainstRun<1, true>(mt, out, t, B, d, k0, rows, i, width, j, carried + (j - js) * W);
    }
  }
}

// Every pair of rows [i0, i1) and columns [j0, j1) of the table, each
// finished value handed to out. Runs of A's columns, as many panels as the
// tile holds when the columns fit in it whole (one panel when they do not),
// after a first run of out.lead(i0, j0) columns when that is not 0; every
// column of the block goes against a run before the next run, so a packed
// panel is used by all of the block's columns.
template <class Metric, class Output, class T>
void pairs(const Metric &mt, Output &out, const T *A, const T *B, int32_t d, int32_t i0, int32_t i1,
           int32_t j0, int32_t j1) {
  static_assert(isMetric<Metric>() && isOutput<Output>());
  using C = typename Metric::Calc;
  static_assert(std::is_same_v<C, ComputedIn<T>>, "computed in the class's own");
  constexpr int W = kWidth<C>;
  TileOf<Metric, T> t;
  const bool whole = d <= kChunkRows;
  const int32_t runWidth = whole && d > 0 ? kTileElements<C> / d / W * W : W;
  const int32_t head = out.lead(i0, j0);
  for (int32_t i = i0; i < i1;) {
    const int32_t most = i == i0 && head > 0 ? head : runWidth;
    const int32_t width = i1 - i < most ? i1 - i : most;
    if (whole) {
      for (int32_t p = 0; p < width; p += W)
        packPanel<Metric::kLogs>(A + ptrdiff_t(i + p) * d, d, width - p < W ? width - p : W, 0, d,
                                 t.a + ptrdiff_t(p) * d, t.xa + (Metric::kLogs ? p * d : 0));
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

// The output stage of a table: element (i, j) of the N1-by-N2 table D of
// elements R at i + j * N1. With kStream, full panels go out with streaming
// stores (whole cache lines): D's columns are a whole number of lines long,
// so all of them meet line boundaries at the same rows, and the rows before
// the block's first boundary go as a run of their own (lead), so that every
// full panel after them starts at one.
template <class R, bool kStream>
struct StoreTable {
  using V = VecOf<R>;
  R *D;
  ptrdiff_t N1;

  int32_t lead(int32_t i0, int32_t j0) const {
    return kStream ? elementsToLine(D + i0 + j0 * N1) : 0;
  }

  template <int kCols>
  void take(const V (&r)[kPanelVecs][kCols], int32_t i, int32_t width, int32_t j) {
    constexpr int kL = kLanesOf<R>;
    for (int c = 0; c < kCols; ++c) {
      R *to = D + i + (j + c) * N1;
      for (int v = 0; v < kPanelVecs; ++v) {
        const int32_t lanes = width - v * kL;
        if (lanes >= kL) {
          if (kStream && width == kWidth<R>)
            stream(to + v * kL, r[v][c]);
          else
            store(to + v * kL, r[v][c]);
        } else if (lanes > 0) {
          alignas(64) R part[kL];
          store(part, r[v][c]);
          for (int32_t l = 0; l < lanes; ++l) to[v * kL + l] = part[l];
        }
      }
    }
  }
};

}  // namespace
}  // namespace SIMD_NAMESPACE
