// The sample family's kernels (pairwise/sample_family.h) on data of one byte
// an element, uint8 and int8, in the integer operations of one target
// (simd/bytes_TARGET.h). The terms |a - b| are integers from 0 to 255, so a
// sum of them is an integer below 2^53, exact in any order, and the largest
// and smallest term are the same whatever the order: each result is the
// double the plain loop computes on the data converted to double. int8 data
// is compared as uint8: x ^ 0x80 maps -128..127 onto 0..255 in order,
// keeping every difference.
//
// The loop is the pair tile's (simd/pair_tile.h), on lanes of eight bytes:
// a panel of kWidth<double> columns of A is packed so that one vector holds eight
// rows of each of its columns side by side (kLanes columns, as many as a
// vector of doubles has lanes), and eight rows of a column of B are
// broadcast to every lane. The sum-of-absolute-differences instruction then
// adds the eight terms of each lane into that lane's 64-bit running total,
// the pair of that lane's column of A with the column of B; the largest and
// smallest keep a running byte maximum (minimum) per lane, its eight bytes
// reduced at the end. Each lane finishes as one pair's double, in a vector
// of doubles laid out as the pair tile's, and goes to the same output
// stages. Rows past the last whole eight are padded with bytes whose term
// changes no result (0 against 0; 0 against 255 for the smallest).
//
// What it blocks for, as the pair tile: kPanelVecs x kTileCols running
// values in registers; runs of panels packed in a tile of kTileBytes on the
// stack, visited by every column of the caller's block of B; columns longer
// than the tile holds go a chunk of rows at a time, a panel against a slab
// of kSlabCols columns of B whose running values wait in a buffer.
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

static_assert(kByteLanes == 8 * kLanes, "a lane of eight bytes for each lane of doubles");

// A metric on bytes: a lane's running value starts as start(), takes eight
// rows of a pair at a time by step(r, a, b) and finishes as the pair's
// double; kPadA and kPadB pad columns of A and B.
struct ByteSum {
  using Running = AbsSums;
  static constexpr uint8_t kPadA = 0, kPadB = 0;
  static Running start() { return zeroSums(); }
  static Running step(Running r, Bytes a, Bytes b) { return addAbsDiffs(r, a, b); }
  static Vec finish(Running r, int32_t) { return doublesOfSums(r); }
};

// Every term is at least 0: a running largest from 0 is the largest term.
struct ByteLargest {
  using Running = Bytes;
  static constexpr uint8_t kPadA = 0, kPadB = 0;
  static Running start() { return splatByte(0); }
  static Running step(Running r, Bytes a, Bytes b) { return maxBytes(r, absDiffBytes(a, b)); }
  static Vec finish(Running r, int32_t) { return largestOfLanes(r); }
};

// Every term is at most 255. Without rows a pair has no term: it is 0, as
// the table starts (pairwise/family.h's kEmptyIsZero).
struct ByteSmallest {
  using Running = Bytes;
  static constexpr uint8_t kPadA = 0, kPadB = 255;
  static Running start() { return splatByte(255); }
  static Running step(Running r, Bytes a, Bytes b) { return minBytes(r, absDiffBytes(a, b)); }
  static Vec finish(Running r, int32_t d) { return d > 0 ? smallestOfLanes(r) : splat(0.0); }
};

constexpr int32_t kTileBytes = 32 * 1024;
// Rows of a chunk: of a panel filling the tile, in whole eights.
constexpr int32_t kByteChunkRows = kTileBytes / kWidth<double> / 8 * 8;
constexpr int32_t kByteSlabCols = 48;
static_assert(kByteSlabCols % kTileCols == 0, "a slab is whole tiles of columns");

// What a kernel reads, in the comparison's coding: int8 data flipped.
template <class T>
struct ByteData {
  static constexpr bool kFlip = std::is_same_v<T, int8_t>;
  static constexpr uint8_t kFlipBits = kFlip ? 0x80 : 0;
  const uint8_t *A, *B;
  ptrdiff_t d;
};

// Rows [k0, k0 + rows) of the width columns at A (d apart) into the panel
// at pa, eight rows of each column side by side: rows k0 + 8q on of column
// l at pa + (q * kWidth<double> + l) * 8. Rows past d, and lanes past width (no
// pair), hold `pad`.
template <class T>
void packBytes(const ByteData<T> &x, const uint8_t *A, int32_t width, ptrdiff_t k0, ptrdiff_t rows,
               uint8_t pad, uint8_t *pa) {
  constexpr uint64_t kFlipLane = ByteData<T>::kFlip ? 0x8080808080808080ull : 0;
  const ptrdiff_t blocks = (rows + 7) / 8;
  for (int32_t l = 0; l < kWidth<double>; ++l)
    for (ptrdiff_t q = 0; q < blocks; ++q) {
      const ptrdiff_t k = k0 + 8 * q, have = l >= width ? 0 : x.d - k < 8 ? x.d - k : 8;
      // Padded in the data's own coding, then flipped with it.
      uint8_t bytes[8];
      if (have > 0) std::memcpy(bytes, A + l * x.d + k, size_t(have));
      for (ptrdiff_t e = have; e < 8; ++e) bytes[e] = pad ^ ByteData<T>::kFlipBits;
      uint64_t lane;
      std::memcpy(&lane, bytes, sizeof lane);
      lane ^= kFlipLane;
      std::memcpy(pa + (q * kWidth<double> + l) * 8, &lane, sizeof lane);
    }
}

// Rows [k0, k0 + rows) of the pairs of a panel packed at pa with kCols
// columns of B from column j, as pair_tile.h's pairTile: running values
// from start() when k0 is 0, otherwise from `carried`; kept there while rows
// remain, otherwise finished and handed to out as rows [i, i + width). The
// last eight rows of a column, when d is not a whole number of eights, come
// from padded copies.
template <int kCols, class Metric, class T, class Output>
void byteTile(const ByteData<T> &x, Output &out, const uint8_t *pa, ptrdiff_t k0, ptrdiff_t rows,
              int32_t i, int32_t width, int32_t j, typename Metric::Running *carried) {
  using Running = typename Metric::Running;
  Running acc[kPanelVecs][kCols];
  for (int v = 0; v < kPanelVecs; ++v)
    for (int c = 0; c < kCols; ++c)
      acc[v][c] = k0 == 0 ? Metric::start() : carried[c * kPanelVecs + v];
  // The padded last eight rows of each column, when this chunk has them.
  const ptrdiff_t whole = x.d / 8 * 8;
  const bool last = k0 + rows >= x.d;
  alignas(8) uint8_t tails[kCols][8];
  if (last && whole < x.d)
    for (int c = 0; c < kCols; ++c) {
      std::memcpy(tails[c], x.B + (j + c) * x.d + whole, size_t(x.d - whole));
      for (ptrdiff_t e = x.d - whole; e < 8; ++e)
        tails[c][e] = Metric::kPadB ^ ByteData<T>::kFlipBits;
    }
  const ptrdiff_t end = k0 + rows < whole ? k0 + rows : whole;
  const auto eight = [&](const uint8_t *const *b, const uint8_t *p) {
    Bytes a[kPanelVecs];
    for (int v = 0; v < kPanelVecs; ++v) a[v] = loadBytes(p + v * kByteLanes);
    for (int c = 0; c < kCols; ++c) {
      const Bytes bc = ByteData<T>::kFlip ? flipBytes(splatBytes8(b[c])) : splatBytes8(b[c]);
      for (int v = 0; v < kPanelVecs; ++v) acc[v][c] = Metric::step(acc[v][c], a[v], bc);
    }
  };
  const uint8_t *b[kCols];
  for (ptrdiff_t k = k0; k < end; k += 8) {
    for (int c = 0; c < kCols; ++c) b[c] = x.B + (j + c) * x.d + k;
    eight(b, pa + (k - k0) * kWidth<double>);
  }
  if (last && whole < x.d) {
    for (int c = 0; c < kCols; ++c) b[c] = tails[c];
    eight(b, pa + (whole - k0) * kWidth<double>);
  }
  if (!last) {
    for (int v = 0; v < kPanelVecs; ++v)
      for (int c = 0; c < kCols; ++c) carried[c * kPanelVecs + v] = acc[v][c];
    return;
  }
  Vec r[kPanelVecs][kCols];
  for (int v = 0; v < kPanelVecs; ++v)
    for (int c = 0; c < kCols; ++c) r[v][c] = Metric::finish(acc[v][c], int32_t(x.d));
  out.template take<kCols>(r, i, width, j);
}

// Columns [j0, j1) of B against the panels packed at tile (rows [k0, k0 +
// rows) of A's rows [i, i + width)), kTileCols at a time; running values
// wait at carried (per column of B from j0) when rows remain.
template <class Metric, class T, class Output>
void columnsAgainstPanels(const ByteData<T> &x, Output &out, const uint8_t *tile, ptrdiff_t k0,
                          ptrdiff_t rows, int32_t i, int32_t width, int32_t j0, int32_t j1,
                          typename Metric::Running *carried) {
  const ptrdiff_t panelBytes = (rows + 7) / 8 * 8 * kWidth<double>;
  int32_t j = j0;
  const auto panels = [&](auto cols) {
    constexpr int kCols = decltype(cols)::value;
    for (int32_t p = 0; p < width; p += kWidth<double>)
      byteTile<kCols, Metric>(x, out, tile + p / kWidth<double> * panelBytes, k0, rows, i + p,
                              width - p < kWidth<double> ? width - p : kWidth<double>, j,
                              carried ? carried + (j - j0) * kPanelVecs : nullptr);
  };
  for (; j1 - j >= kTileCols; j += kTileCols) panels(std::integral_constant<int, kTileCols>());
  for (; j < j1; ++j) panels(std::integral_constant<int, 1>());
}

// Every pair of rows [i0, i1) and columns [j0, j1) of the table of `in`,
// each finished vector handed to out as pair_tile.h's pairs() hands them:
// out.take<kCols>(r, i, width, j), a first run of out.lead(i0, j0) rows
// when that is not 0.
template <class Metric, class T, class Output>
void bytePairs(const PairInputs<T> &in, Output &out, int32_t i0, int32_t i1, int32_t j0,
               int32_t j1) {
  const ByteData<T> x{reinterpret_cast<const uint8_t *>(in.A),
                      reinterpret_cast<const uint8_t *>(in.B), in.d};
  const uint8_t pad = Metric::kPadA;
  alignas(64) uint8_t tile[kTileBytes];
  const ptrdiff_t padded = (x.d + 7) / 8 * 8;
  const int32_t head = out.lead(i0, j0);
  if (padded <= kByteChunkRows) {
    // Whole columns: runs of as many panels as the tile holds.
    const int32_t runWidth = padded > 0
                                 ? int32_t(kTileBytes / (padded * kWidth<double>)) * kWidth<double>
                                 : kTileBytes / 8;
    for (int32_t i = i0; i < i1;) {
      const int32_t most = i == i0 && head > 0 ? head : runWidth;
      const int32_t width = i1 - i < most ? i1 - i : most;
      for (int32_t p = 0; p < width; p += kWidth<double>)
        packBytes(x, x.A + (i + p) * x.d, width - p < kWidth<double> ? width - p : kWidth<double>,
                  0, x.d, pad, tile + p / kWidth<double> * padded * kWidth<double>);
      columnsAgainstPanels<Metric>(x, out, tile, 0, x.d, i, width, j0, j1, nullptr);
      i += width;
    }
    return;
  }
  // Long columns: a panel at a time, a chunk of its rows against a slab of
  // B's columns, their running values carried from chunk to chunk.
  alignas(64) typename Metric::Running carried[kByteSlabCols * kPanelVecs];
  for (int32_t i = i0; i < i1;) {
    const int32_t most = i == i0 && head > 0 ? head : kWidth<double>;
    const int32_t width = i1 - i < most ? i1 - i : most;
    for (int32_t js = j0; js < j1; js += kByteSlabCols) {
      const int32_t je = j1 - js < kByteSlabCols ? j1 : js + kByteSlabCols;
      for (ptrdiff_t k0 = 0; k0 < x.d; k0 += kByteChunkRows) {
        const ptrdiff_t rows = x.d - k0 < kByteChunkRows ? x.d - k0 : kByteChunkRows;
        packBytes(x, x.A + i * x.d, width, k0, rows, pad, tile);
        columnsAgainstPanels<Metric>(x, out, tile, k0, rows, i, width, js, je, carried);
      }
    }
    i += width;
  }
}

// The kernels of code kCode (1 sum, 2 largest, 3 smallest) on data of class
// T (uint8_t or int8_t), of pairwise/family.h's signatures; the nearest
// columns through simd/nearest.h's stage.
template <int kCode>
using ByteMetric = std::conditional_t<kCode == 1, ByteSum,
                                      std::conditional_t<kCode == 2, ByteLargest, ByteSmallest>>;

template <int kCode, class T>
void byteTable(const PairInputs<T> &in, double *D, const gateway::Block &b) {
  intoTable(D, in.N1, in.N2,
            [&](auto &out) { bytePairs<ByteMetric<kCode>>(in, out, b.i0, b.i1, b.j0, b.j1); });
}

template <int kCode, class T>
void byteNearest(const PairInputs<T> &in, double *D, double *I, int32_t kk, int32_t j0,
                 int32_t j1) {
  KeepNearest<double> out{D, I, kk};
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
