// The output stage that keeps, for each column j of a table, its kk smallest
// values in ascending order and the rows they came from, instead of storing
// the table: D(r, j) and I(r, j) (rows counted from 1, as doubles), for r
// in [0, kk), of the kk-by-N2 outputs D and I. The order is that of a
// stable ascending sort of the column: by value (-0 equal to +0), equal
// values by row, NaN after every number, NaNs by row. Each kept value is the
// table's element itself, with its bits, of the table's class R (single
// for single data, otherwise double).
//
// The pair loop (simd/pair_tile.h) hands a column its rows in increasing
// order, all of them, starting at 0: before row i arrives, the column has
// been offered i rows and keeps min(i, kk) of them. A later row beats a kept
// one only by a smaller value, or by a number over a NaN: a tie keeps the
// earlier row. Once a column keeps kk values, a panel of rows none of which
// is less than its last is passed over at one comparison a vector.
//
// Included once per target, after simd/pair_tile.h: no include guard.
#include <cmath>

namespace SIMD_NAMESPACE {
namespace {

// Whether value v, of a later row, goes before kept value w.
template <class R>
bool beats(R v, R w) {
  return v < w || (std::isnan(w) && !std::isnan(v));
}

// Offers row `row` (1-based) with value v to a column that keeps `kept`
// of at most kk, in d and ix.
template <class R>
void offer(R *d, double *ix, int32_t kept, int32_t kk, R v, double row) {
  if (kept == kk) {
    if (!beats(v, d[kk - 1])) return;
    --kept;
  }
  int32_t p = kept;
  for (; p > 0 && beats(v, d[p - 1]); --p) {
    d[p] = d[p - 1];
    ix[p] = ix[p - 1];
  }
  d[p] = v;
  ix[p] = row;
}

template <class R>
struct KeepNearest {
  using V = VecOf<R>;
  R *D;
  double *I;
  int32_t kk;

  int32_t lead(int32_t, int32_t) const { return 0; }

  template <int kCols>
  void take(const V (&r)[kPanelVecs][kCols], int32_t i, int32_t width, int32_t j) {
    constexpr int kL = kLanesOf<R>;
    for (int c = 0; c < kCols; ++c) {
      R *d = D + ptrdiff_t(j + c) * kk;
      double *ix = I + ptrdiff_t(j + c) * kk;
      // Full, with a number last: most panels hold no value less than it.
      // (Lanes past width, which hold no pair, can only send a panel on.)
      if (i >= kk && !std::isnan(d[kk - 1])) {
        const V last = splat(d[kk - 1]);
        uint32_t less = 0;
        for (int v = 0; v < kPanelVecs; ++v) less |= lessMask(r[v][c], last);
        if (less == 0) continue;
      }
      alignas(64) R values[kWidth<R>];
      for (int v = 0; v < kPanelVecs; ++v) store(values + v * kL, r[v][c]);
      for (int32_t l = 0; l < width; ++l) {
        const int32_t row = i + l;
        offer(d, ix, row < kk ? row : kk, kk, values[l], double(row) + 1);
      }
    }
  }
};

}  // namespace
}  // namespace SIMD_NAMESPACE
