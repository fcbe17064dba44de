// The loop of every kernel that takes pairs of columns: every pair of a column
// i of A (d-by-N1) and a column j of B (d-by-N2), one running value per pair
// taking the rows in increasing order, in the vector operations of the target
// being built (simd/vec.h). Lanes hold different columns of A, so different
// pairs, never terms of one pair: each pair computes exactly what the plain
// loop computes.
//
// A panel of kWidth consecutive columns of A is copied, transposed, into a
// tile on the stack (kTileDoubles, 32 KiB with AVX-512), so one vector load
// gives one row of kLanes columns. Against the panel go kTileCols columns of
// B at a time, each element broadcast to all lanes: kPanelVecs x kTileCols
// running values, with the panel's vectors and a broadcast, stay in the
// target's registers (simd/vec_TARGET.h) for the whole column. Short
// columns let the tile hold a block of several panels, which every column of
// B visits in turn; columns longer than kChunkRows go in chunks, the panel
// copied again for every group of B's columns, the running values carried
// from chunk to chunk.
//
// D(i, j) sits at i + j * N1: a tile writes kWidth consecutive elements of
// each of its columns, with streaming stores (whole cache lines) when D is
// too large for the caches. Then the rows before D's first cache-line
// boundary go as a block of their own, so that every full tile after them
// starts at a boundary.
//
// Included once per target, after simd/vec.h (simd/target_slot.h): no
// include guard.
#include <cmath>

namespace SIMD_NAMESPACE {
namespace {

constexpr int kWidth = kPanelVecs * kLanes;
constexpr int32_t kChunkRows = 256;

// t * log(t) for t > 0, otherwise 0, with the C library's log.
inline double xlogx(double t) { return t > 0.0 ? t * std::log(t) : 0.0; }

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

// Row k of a panel (pa, pxa) against row k0 + k of kCols columns of B.
template <int kCols, bool kFirst, class Metric>
inline void row(const Metric &mt, const double *pa, const double *pxa, const double *pxb,
                const double *B, ptrdiff_t d, int32_t k0, int32_t k,
                Vec (&acc)[kPanelVecs][kCols]) {
  Vec a[kPanelVecs];
  for (int v = 0; v < kPanelVecs; ++v) a[v] = load(pa + k * kWidth + v * kLanes);
  if constexpr (Metric::kLogs) {
    // All the logs of the row in one pass: no vector is live across the calls.
    alignas(64) double xm[kCols * kWidth];
    for (int c = 0; c < kCols; ++c) {
      const Vec b = splat(B[c * d + k0 + k]);
      for (int v = 0; v < kPanelVecs; ++v)
        store(xm + (c * kPanelVecs + v) * kLanes, mt.mean(a[v], b));
    }
    for (int e = 0; e < kCols * kWidth; ++e) xm[e] = xlogx(xm[e]);
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
      const Vec b = splat(B[c * d + k0 + k]);
      for (int v = 0; v < kPanelVecs; ++v) {
        const Vec t = mt.term(a[v], b);
        acc[v][c] = kFirst ? t : mt.step(acc[v][c], t);
      }
    }
  }
}

// The pairs of one panel (width columns at A) with kCols columns of B from
// column j on; their elements go to D, at the panel's first row of column j.
// A panel packed whole sits at pa (pxa), with xlogx of B's columns at
// t.xb; otherwise the tile takes the panel and B's xlogx chunk by chunk.
template <int kCols, bool kStream, class Metric>
void pairTile(const Metric &mt, Tile<Metric::kLogs> &t, const double *pa, const double *pxa,
              bool packed, const double *A, const double *B, double *D, ptrdiff_t d, ptrdiff_t N1,
              int32_t width, int32_t j) {
  // +0 to start from, or replaced by the first row's term.
  Vec acc[kPanelVecs][kCols];
  for (int v = 0; v < kPanelVecs; ++v)
    for (int c = 0; c < kCols; ++c) acc[v][c] = splat(0.0);
  for (int32_t k0 = 0; k0 < d; k0 += kChunkRows) {
    const int32_t rows = d - k0 < kChunkRows ? int32_t(d - k0) : kChunkRows;
    if (!packed) {
      pack<Metric::kLogs>(A, d, width, k0, rows, t.a, t.xa);
      if constexpr (Metric::kLogs) xlogxColumns<kCols>(B, d, k0, rows, t.xb);
    }
    int32_t k = 0;
    if (!Metric::kSumFromZero && k0 == 0) row<kCols, true>(mt, pa, pxa, t.xb, B, d, k0, k++, acc);
    for (; k < rows; ++k) row<kCols, false>(mt, pa, pxa, t.xb, B, d, k0, k, acc);
  }
  for (int c = 0; c < kCols; ++c) {
    double *out = D + c * N1;
    for (int v = 0; v < kPanelVecs; ++v) {
      const Vec r = mt.finish(acc[v][c], j + c);
      const int32_t lanes = width - v * kLanes;
      if (lanes >= kLanes) {
        if (kStream && width == kWidth)
          stream(out + v * kLanes, r);
        else
          store(out + v * kLanes, r);
      } else if (lanes > 0) {
        alignas(64) double part[kLanes];
        store(part, r);
        for (int32_t l = 0; l < lanes; ++l) out[v * kLanes + l] = part[l];
      }
    }
  }
}

// kCols columns of B from column j against the panels of A from column i,
// width columns in all: each panel packed at its place in the tile when the
// columns are short enough (packed), otherwise one panel at a time, chunked.
template <int kCols, bool kStream, class Metric>
void columnsAgainstBlock(const Metric &mt, Tile<Metric::kLogs> &t, bool packed, const double *A,
                         const double *B, double *D, int32_t d, int32_t N1, int32_t i,
                         int32_t width, int32_t j) {
  const double *Bj = B + ptrdiff_t(j) * d;
  if (packed && Metric::kLogs) xlogxColumns<kCols>(Bj, d, 0, d, t.xb);
  for (int32_t p = 0; p < width; p += kWidth) {
    const int32_t w = width - p < kWidth ? width - p : kWidth;
    const ptrdiff_t at = ptrdiff_t(p) * (packed ? d : 0);
    pairTile<kCols, kStream>(mt, t, t.a + at, t.xa + (Metric::kLogs ? at : 0), packed,
                             A + ptrdiff_t(i + p) * d, Bj, D + i + p + ptrdiff_t(j) * N1, d, N1, w,
                             j);
  }
}

// Blocks of A's columns, as many panels as the tile holds when the columns
// fit in it whole (one panel when they do not), after a first block of head
// columns when head > 0; every column of B goes against a block before the
// next block, so D is written a block's rows of each column at a time and a
// packed panel is used by all of B.
template <bool kStream, class Metric>
void blocks(const Metric &mt, const double *A, const double *B, double *D, int32_t N1, int32_t N2,
            int32_t d, int32_t head) {
  Tile<Metric::kLogs> t;
  const bool packed = d <= kChunkRows;
  const int32_t blockWidth = packed && d > 0 ? kTileDoubles / d / kWidth * kWidth : kWidth;
  for (int32_t i = 0; i < N1;) {
    const int32_t most = i == 0 && head > 0 ? head : blockWidth;
    const int32_t width = N1 - i < most ? N1 - i : most;
    if (packed)
      for (int32_t p = 0; p < width; p += kWidth)
        pack<Metric::kLogs>(A + ptrdiff_t(i + p) * d, d, width - p < kWidth ? width - p : kWidth, 0,
                            d, t.a + ptrdiff_t(p) * d, t.xa + (Metric::kLogs ? p * d : 0));
    int32_t j = 0;
    for (; N2 - j >= kTileCols; j += kTileCols)
      columnsAgainstBlock<kTileCols, kStream>(mt, t, packed, A, B, D, d, N1, i, width, j);
    for (; j < N2; ++j) columnsAgainstBlock<1, kStream>(mt, t, packed, A, B, D, d, N1, i, width, j);
    i += width;
  }
}

// D(i, j) for every pair with j in [j0, j1). A Metric gives term(a, b) (or,
// with kLogs, mean(a, b) and term(xlogx(a), xlogx(b), xlogx(mean))),
// step(running, term), finish(running, j) (j counted from j0), and
// kSumFromZero: the running value starts at +0 and takes every term,
// otherwise it starts as the first row's term.
template <class Metric>
void pairs(const Metric &mt, const double *A, const double *B, double *D, int32_t N1, int32_t N2,
           int32_t d, int32_t j0, int32_t j1) {
  // Streaming needs every full tile's stores to cover whole cache lines:
  // columns a whole number of lines long, so that all columns meet line
  // boundaries at the same rows, and full tiles starting at one. Whether
  // to stream is decided on the whole of D, so every block of a large D
  // streams.
  const bool lines = kWidth % kLineDoubles == 0 && N1 % kLineDoubles == 0;
  const bool stream = lines && streams(D, double(N1) * N2);
  B += ptrdiff_t(j0) * d;
  D += ptrdiff_t(j0) * N1;
  if (stream) {
    blocks<true>(mt, A, B, D, N1, j1 - j0, d, elementsToLine(D));
    streamFence();
  } else {
    blocks<false>(mt, A, B, D, N1, j1 - j0, d, 0);
  }
}

}  // namespace
}  // namespace SIMD_NAMESPACE
