// The sample family's kernels (pairwise/sample_family.h) on data of one byte
// an element, uint8 and int8, in the integer operations of one target
// (simd/bytes_TARGET.h). The terms |a - b| are integers from 0 to 255, so a
// sum of them is an integer below 2^53, exact in any order: a pair's bytes
// are taken a vector at a time, their absolute differences summed by the
// target's sum-of-absolute-differences instruction into 64-bit lanes and the
// lanes added at the end; the largest and smallest term are byte maxima and
// minima, added in no order either. Each result is then the double the
// plain loop computes on the data converted to double. int8 data is
// compared as uint8: x ^ 0x80 maps -128..127 onto 0..255 in order, keeping
// every difference.
//
// What it blocks for, from the innermost loop out:
// - Registers. kByteRows columns of A against kByteCols columns of B: one
//   vector of each column loaded per step of the rows, kByteRows x kByteCols
//   running values. Columns are read in place, as they lie in memory; rows
//   past the last whole vector (the tail) come from copies padded with bytes
//   whose term cannot change the result (0 against 0; 0 against 255 for the
//   smallest), packed once per run of A's columns and per group of B's.
// - The first-level cache. A run of A's columns of about kRunBytes goes
//   against every column of the caller's block of B before the next run.
// Finished values go, a panel of kWidth rows of kByteCols columns at a time,
// to the table or to the nearest columns' stage (simd/nearest.h).
//
// Included once per target after simd/nearest.h: no include guard.
#include <cstring>
#include <type_traits>

// A path spelled in tokens: spaces would end up inside it.
// clang-format off
#include SIMD_STR(simd/SIMD_CAT(bytes_, SIMD_TARGET).h)
// clang-format on

namespace SIMD_NAMESPACE {
namespace {

static_assert(kWidth % kByteRows == 0 && kByteRows % kSumGroup == 0,
              "a panel is whole groups of rows, a group whole sums");

// A metric on bytes: the running value of a pair starts as start(), takes
// each vector of the two columns' bytes by step(r, a, b), and finish makes
// the results of kByteRows pairs of it, for columns of d rows. Padding a
// column of A with kPadA and one of B with kPadB adds terms that change no
// result.
struct ByteSum {
  using Running = AbsSums;
  static constexpr uint8_t kPadA = 0, kPadB = 0;
  static Running start() { return zeroSums(); }
  static Running step(Running r, Bytes a, Bytes b) { return addAbsDiffs(r, a, b); }
  static void finish(const Running (&r)[kByteRows], int32_t, double *out) { totalsOf(r, out); }
};

// Every term is at least 0: a running largest from 0 is the largest term.
struct ByteLargest {
  using Running = Bytes;
  static constexpr uint8_t kPadA = 0, kPadB = 0;
  static Running start() { return splatBytes(0); }
  static Running step(Running r, Bytes a, Bytes b) { return maxBytes(r, absDiffBytes(a, b)); }
  static void finish(const Running (&r)[kByteRows], int32_t, double *out) {
    for (int k = 0; k < kByteRows; ++k) out[k] = largestByte(r[k]);
  }
};

// Every term is at most 255. Without rows a pair has no term: it is 0, as
// the table starts (pairwise/family.h's kEmptyIsZero).
struct ByteSmallest {
  using Running = Bytes;
  static constexpr uint8_t kPadA = 0, kPadB = 255;
  static Running start() { return splatBytes(255); }
  static Running step(Running r, Bytes a, Bytes b) { return minBytes(r, absDiffBytes(a, b)); }
  static void finish(const Running (&r)[kByteRows], int32_t d, double *out) {
    for (int k = 0; k < kByteRows; ++k) out[k] = d > 0 ? smallestByte(r[k]) : 0.0;
  }
};

template <bool kFlip>
inline Bytes bytesAt(const uint8_t *p) {
  return kFlip ? flipBytes(loadBytes(p)) : loadBytes(p);
}

// Where a group's columns are: in place for the whole vectors, padded
// copies for the tail.
struct ByteColumns {
  const uint8_t *at, *tail;
};

// The pairs of kByteRows columns of A with kByteCols columns of B, over
// `whole` bytes in place and, when `tail`, one vector of their copies: the
// results of column c's pairs to out + c * kWidth, kByteRows of them.
template <class Metric, bool kFlip>
void byteGroup(const ByteColumns (&a)[kByteRows], const ByteColumns (&b)[kByteCols],
               ptrdiff_t whole, bool tail, int32_t d, double *out) {
  typename Metric::Running r[kByteCols][kByteRows];
  for (int c = 0; c < kByteCols; ++c)
    for (int k = 0; k < kByteRows; ++k) r[c][k] = Metric::start();
  const auto rowsOf = [&](const uint8_t *const *pa, const uint8_t *const *pb) {
    Bytes vb[kByteCols];
    for (int c = 0; c < kByteCols; ++c) vb[c] = bytesAt<kFlip>(pb[c]);
    for (int k = 0; k < kByteRows; ++k) {
      const Bytes va = bytesAt<kFlip>(pa[k]);
      for (int c = 0; c < kByteCols; ++c) r[c][k] = Metric::step(r[c][k], va, vb[c]);
    }
  };
  const uint8_t *pa[kByteRows], *pb[kByteCols];
  for (ptrdiff_t e = 0; e < whole; e += kByteLanes) {
    for (int k = 0; k < kByteRows; ++k) pa[k] = a[k].at + e;
    for (int c = 0; c < kByteCols; ++c) pb[c] = b[c].at + e;
    rowsOf(pa, pb);
  }
  if (tail) {
    for (int k = 0; k < kByteRows; ++k) pa[k] = a[k].tail;
    for (int c = 0; c < kByteCols; ++c) pb[c] = b[c].tail;
    rowsOf(pa, pb);
  }
  for (int c = 0; c < kByteCols; ++c) Metric::finish(r[c], d, out + c * kWidth);
}

// Columns of A per run: about kRunBytes of them, a whole number of panels,
// their tails' copies at most kRunCols vectors.
constexpr ptrdiff_t kRunBytes = 32 * 1024;
constexpr int32_t kRunCols = 256;
static_assert(kRunCols % kWidth == 0, "a run is whole panels");

// The tail of the column at `col` (rows [whole, d)) into a vector's bytes
// at `to`, padded with `pad`.
inline void packTail(const uint8_t *col, ptrdiff_t whole, ptrdiff_t d, uint8_t pad, uint8_t *to) {
  std::memcpy(to, col + whole, size_t(d - whole));
  std::memset(to + (d - whole), pad, size_t(kByteLanes - (d - whole)));
}

// Every pair of rows [i0, i1) and columns [j0, j1) of the table of `in`,
// their results handed to out a panel at a time: out.take(v, i, width, j,
// cols) with v[c][l] the result of row i + l, l < width, of column j + c,
// c < cols. Within a column, rows come in increasing order. Groups cut
// short by the end of a run or of the block repeat its last column, whose
// results go nowhere. The first run is of out.lead(i0, j0) rows when that
// is not 0 (simd/pair_tile.h's protocol).
template <class Metric, class T, class Output>
void bytePairs(const PairInputs<T> &in, Output &out, int32_t i0, int32_t i1, int32_t j0,
               int32_t j1) {
  constexpr bool kFlip = std::is_same_v<T, int8_t>;
  // The pads in the data's own coding.
  constexpr uint8_t kFlipBits = kFlip ? 0x80 : 0;
  const uint8_t *A = reinterpret_cast<const uint8_t *>(in.A);
  const uint8_t *B = reinterpret_cast<const uint8_t *>(in.B);
  const ptrdiff_t d = in.d, whole = d / kByteLanes * kByteLanes;
  const bool tail = whole < d;
  alignas(64) uint8_t aTails[kRunCols * kByteLanes], bTails[kByteCols * kByteLanes];
  alignas(64) double v[kByteCols][kWidth] = {};
  const ptrdiff_t fit = kRunBytes / (d > 0 ? d : 1) / kWidth * kWidth;
  const int32_t runCols = fit < kWidth ? kWidth : fit > kRunCols ? kRunCols : int32_t(fit);
  const int32_t head = out.lead(i0, j0);
  for (int32_t i = i0; i < i1;) {
    const int32_t most = i == i0 && head > 0 ? head : runCols;
    const int32_t iEnd = i1 - i < most ? i1 : i + most;
    if (tail)
      for (int32_t k = i; k < iEnd; ++k)
        packTail(A + k * d, whole, d, Metric::kPadA ^ kFlipBits, aTails + (k - i) * kByteLanes);
    for (int32_t j = j0; j < j1; j += kByteCols) {
      const int32_t cols = j1 - j < kByteCols ? j1 - j : kByteCols;
      ByteColumns b[kByteCols];
      for (int c = 0; c < kByteCols; ++c) {
        const uint8_t *col = B + (j + (c < cols ? c : cols - 1)) * d;
        b[c] = {col, bTails + c * kByteLanes};
        if (tail) packTail(col, whole, d, Metric::kPadB ^ kFlipBits, bTails + c * kByteLanes);
      }
      for (int32_t p = i; p < iEnd; p += kWidth) {
        const int32_t width = iEnd - p < kWidth ? iEnd - p : kWidth;
        for (int32_t g = 0; g < width; g += kByteRows) {
          ByteColumns a[kByteRows];
          for (int k = 0; k < kByteRows; ++k) {
            const int32_t row = p + g + k < iEnd ? p + g + k : iEnd - 1;
            a[k] = {A + row * d, aTails + (row - i) * kByteLanes};
          }
          byteGroup<Metric, kFlip>(a, b, whole, tail, int32_t(d), &v[0][g]);
        }
        out.take(v, p, width, j, cols);
      }
    }
    i = iEnd;
  }
}

// The output stage of a table: element (i, j) of the N1-by-N2 table D at
// i + j * N1. A table too large for the caches is written past them, as
// pair_tile.h's StoreTable does: when D's columns are whole cache lines,
// the rows before the block's first line boundary go as a run of their
// own, so that every full panel after them is whole lines.
struct ByteTable {
  double *D;
  ptrdiff_t N1;
  bool stream;

  int32_t lead(int32_t i0, int32_t j0) const {
    return stream ? elementsToLine(D + i0 + j0 * N1) : 0;
  }

  void take(const double (&v)[kByteCols][kWidth], int32_t i, int32_t width, int32_t j,
            int32_t cols) {
    for (int32_t c = 0; c < cols; ++c) {
      double *to = D + i + (j + c) * N1;
      if (stream && width == kWidth && elementsToLine(to) == 0)
        for (int u = 0; u < kPanelVecs; ++u)
          SIMD_NAMESPACE::stream(to + u * kLanes, load(v[c] + u * kLanes));
      else
        std::memcpy(to, v[c], size_t(width) * sizeof(double));
    }
  }
};

// The output stage of the nearest columns: each panel offered to its
// column's best (simd/nearest.h). Rows past width hold no pair.
struct ByteNearest {
  KeepNearest keep;
  int32_t lead(int32_t, int32_t) const { return 0; }
  void take(const double (&v)[kByteCols][kWidth], int32_t i, int32_t width, int32_t j,
            int32_t cols) {
    Vec r[kPanelVecs][kByteCols];
    for (int c = 0; c < kByteCols; ++c)
      for (int u = 0; u < kPanelVecs; ++u) r[u][c] = load(v[c] + u * kLanes);
    if (cols == kByteCols) return keep.take<kByteCols>(r, i, width, j);
    for (int32_t c = 0; c < cols; ++c) {
      Vec rc[kPanelVecs][1];
      for (int u = 0; u < kPanelVecs; ++u) rc[u][0] = r[u][c];
      keep.take<1>(rc, i, width, j + c);
    }
  }
};

// The kernels of code kCode (1 sum, 2 largest, 3 smallest) on data of class
// T (uint8_t or int8_t), of pairwise/family.h's signatures.
template <int kCode>
using ByteMetric = std::conditional_t<kCode == 1, ByteSum,
                                      std::conditional_t<kCode == 2, ByteLargest, ByteSmallest>>;

template <int kCode, class T>
void byteTable(const PairInputs<T> &in, double *D, const gateway::Block &b) {
  const bool lines = kWidth % kLineDoubles == 0 && in.N1 % kLineDoubles == 0;
  ByteTable out{D, in.N1, lines && streams(D, double(in.N1) * in.N2)};
  bytePairs<ByteMetric<kCode>>(in, out, b.i0, b.i1, b.j0, b.j1);
  if (out.stream) streamFence();
}

template <int kCode, class T>
void byteNearest(const PairInputs<T> &in, double *D, double *I, int32_t kk, int32_t j0,
                 int32_t j1) {
  ByteNearest out{{D, I, kk}};
  bytePairs<ByteMetric<kCode>>(in, out, 0, in.N1, j0, j1);
}

// Both stages' kernels by code, entry 0 selecting none.
template <class T>
constexpr TableKernel<T> kByteTables[] = {nullptr, byteTable<1, T>, byteTable<2, T>,
                                          byteTable<3, T>};
template <class T>
constexpr NearestKernel<T> kByteNearest[] = {nullptr, byteNearest<1, T>, byteNearest<2, T>,
                                             byteNearest<3, T>};

}  // namespace
}  // namespace SIMD_NAMESPACE
