// The loop the sampledist and bindist variants share: every pair of a column
// i of A (d-by-N1) and a column j of B (d-by-N2), one running value per pair
// taking the rows in increasing order, in the vector operations of the target
// being built (simd/vec.h). Lanes hold different columns of A, so different
// pairs, never terms of one pair: each pair computes exactly what the plain
// loop computes.
//
// A panel of kWidth consecutive columns of A is copied, transposed, into a
// tile on the stack, so one vector load gives one row of kLanes columns.
// Against the panel go kTileCols columns of B at a time, each element
// broadcast to all lanes: kPanelVecs x kTileCols running values stay in
// registers for the whole column. The tile holds kChunkRows rows; longer
// columns go in chunks, the panel copied again for every group of B's
// columns, the running values carried from chunk to chunk.
//
// D(i, j) sits at i + j * N1: a tile writes kWidth consecutive elements of
// each of its columns, with streaming stores (whole cache lines) when D is
// too large for the caches.
#ifndef EXACTMEX_PAIRWISE_PAIRTILE_H
#define EXACTMEX_PAIRWISE_PAIRTILE_H

#include <cmath>

#include "simd/vec.h"

namespace SIMD_NAMESPACE {
namespace {

// Register blocking per target: running values kPanelVecs x kTileCols, with
// the panel's vectors and a broadcast, within the target's registers.
#if SIMD_TARGET_ID == 3
constexpr int kPanelVecs = 2, kTileCols = 6;
#elif SIMD_TARGET_ID == 1
constexpr int kPanelVecs = 4, kTileCols = 2;
#else
constexpr int kPanelVecs = 2, kTileCols = 4;
#endif
constexpr int kWidth = kPanelVecs * kLanes;
constexpr int32_t kChunkRows = 256;
constexpr int kOutputLine = 64 / sizeof(double);  // doubles per cache line

// t * log(t) for t > 0, otherwise 0, with the C library's log.
inline double xlogx(double t) { return t > 0.0 ? t * std::log(t) : 0.0; }

// The stack tile: one chunk of the panel and, for metrics built on xlogx, that
// of every element of the panel and of the current columns of B.
template <bool kLogs>
struct Panel {
  alignas(64) double a[kChunkRows * kWidth];
  alignas(64) double xa[kLogs ? kChunkRows * kWidth : 1];
  alignas(64) double xb[kLogs ? kChunkRows * kTileCols : 1];
};

// Rows [k0, k0 + rows) of the width columns at A into the panel; lanes past
// width hold zeros, computed on but never stored.
template <bool kLogs>
void pack(const double *A, ptrdiff_t d, int32_t width, int32_t k0, int32_t rows,
          Panel<kLogs> &p) {
  for (int l = 0; l < kWidth; ++l) {
    const double *col = l < width ? A + l * d + k0 : nullptr;
    for (int32_t k = 0; k < rows; ++k) p.a[k * kWidth + l] = col ? col[k] : 0.0;
  }
  if constexpr (kLogs)
    for (int32_t e = 0; e < rows * kWidth; ++e) p.xa[e] = xlogx(p.a[e]);
}

// Row k of the chunk starting at row k0, for kCols columns of B.
template <int kCols, bool kFirst, class Metric>
inline void row(const Metric &mt, const Panel<Metric::kLogs> &p, const double *B, ptrdiff_t d,
                int32_t k0, int32_t k, Vec (&acc)[kPanelVecs][kCols]) {
  Vec a[kPanelVecs];
  for (int v = 0; v < kPanelVecs; ++v) a[v] = load(p.a + k * kWidth + v * kLanes);
  if constexpr (Metric::kLogs) {
    // All the logs of the row in one pass: no vector is live across the calls.
    alignas(64) double xm[kCols * kWidth];
    for (int c = 0; c < kCols; ++c) {
      const Vec b = splat(B[c * d + k0 + k]);
      for (int v = 0; v < kPanelVecs; ++v) store(xm + (c * kPanelVecs + v) * kLanes, mt.mean(a[v], b));
    }
    for (int e = 0; e < kCols * kWidth; ++e) xm[e] = xlogx(xm[e]);
    for (int c = 0; c < kCols; ++c) {
      const Vec xb = splat(p.xb[k * kCols + c]);
      for (int v = 0; v < kPanelVecs; ++v) {
        const Vec xa = load(p.xa + k * kWidth + v * kLanes);
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

// The pairs of the panel (width columns at A) with kCols columns of B
// starting at column j; their elements go to D, at the panel's first row of
// column j.
template <int kCols, bool kStream, class Metric>
void pairTile(const Metric &mt, const double *A, const double *B, double *D, ptrdiff_t d,
              ptrdiff_t N1, int32_t width, int32_t j, bool packed, Panel<Metric::kLogs> &p) {
  // +0 to start from, or replaced by the first row's term.
  Vec acc[kPanelVecs][kCols];
  for (int v = 0; v < kPanelVecs; ++v)
    for (int c = 0; c < kCols; ++c) acc[v][c] = splat(0.0);
  for (int32_t k0 = 0; k0 < d; k0 += kChunkRows) {
    const int32_t rows = d - k0 < kChunkRows ? int32_t(d - k0) : kChunkRows;
    if (!packed) pack(A, d, width, k0, rows, p);
    if constexpr (Metric::kLogs)
      for (int32_t k = 0; k < rows; ++k)
        for (int c = 0; c < kCols; ++c) p.xb[k * kCols + c] = xlogx(B[c * d + k0 + k]);
    int32_t k = 0;
    if (!Metric::kSumFromZero && k0 == 0) row<kCols, true>(mt, p, B, d, k0, k++, acc);
    for (; k < rows; ++k) row<kCols, false>(mt, p, B, d, k0, k, acc);
  }
  for (int c = 0; c < kCols; ++c) {
    double *out = D + c * N1;
    for (int v = 0; v < kPanelVecs; ++v) {
      const Vec r = mt.finish(acc[v][c], j + c);
      const int32_t lanes = width - v * kLanes;
      if (lanes >= kLanes) {
        if (kStream)
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

template <bool kStream, class Metric>
void panels(const Metric &mt, const double *A, const double *B, double *D, int32_t N1, int32_t N2,
            int32_t d) {
  Panel<Metric::kLogs> p;
  const bool whole = d <= kChunkRows;  // the panel packed once for all of B
  for (int32_t i = 0; i < N1;) {
    const int32_t width = N1 - i < kWidth ? N1 - i : kWidth;
    const double *Ai = A + ptrdiff_t(i) * d;
    if (whole) pack(Ai, d, width, 0, d, p);
    int32_t j = 0;
    for (; N2 - j >= kTileCols; j += kTileCols)
      pairTile<kTileCols, kStream>(mt, Ai, B + ptrdiff_t(j) * d, D + i + ptrdiff_t(j) * N1, d, N1,
                                   width, j, whole, p);
    for (; j < N2; ++j)
      pairTile<1, kStream>(mt, Ai, B + ptrdiff_t(j) * d, D + i + ptrdiff_t(j) * N1, d, N1, width,
                           j, whole, p);
    i += width;
  }
}

// D(i, j) for every pair. A Metric gives term(a, b) (or, with kLogs,
// mean(a, b) and term(xlogx(a), xlogx(b), xlogx(mean))), step(running, term),
// finish(running, j), and kSumFromZero: the running value starts at +0 and
// takes every term, otherwise it starts as the first row's term.
template <class Metric>
void pairs(const Metric &mt, const double *A, const double *B, double *D, int32_t N1, int32_t N2,
           int32_t d) {
  // Streaming needs every tile's stores to cover whole cache lines.
  const bool lines = kWidth % kOutputLine == 0 && N1 % kOutputLine == 0 &&
                     reinterpret_cast<uintptr_t>(D) % 64 == 0;
  if (lines && streams(D, double(N1) * N2)) {
    panels<true>(mt, A, B, D, N1, N2, d);
    streamFence();
  } else {
    panels<false>(mt, A, B, D, N1, N2, d);
  }
}

}  // namespace
}  // namespace SIMD_NAMESPACE

#endif
