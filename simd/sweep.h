// The loop of every kernel that streams its output: Y(i, j) = rule(X(i, j),
// col(i), row(j)) for the m-by-n matrix Y, from any of the matrix X, the
// column vector col and the row vector row, in the vector operations of the
// target being built (simd/vec.h). The elements are all doubles or all
// floats (T). A rule says what one element is, for one T or one vector of
// them; sweep says how the matrix is walked.
//
// A call writes rows [i0, i1) of columns [j0, j1) of the output; whether it
// streams is decided on the whole output, so every block of a large one
// streams.
//
// Columns go kSweepGroup at a time (as many as the target's registers hold a
// step of), so each vector of col is loaded once for the whole group.
// Outputs larger than the caches are written with streaming stores a whole
// cache line at a time: each column then starts and ends with single
// elements up to its first and from its last line boundary.
//
// Included once per target, after simd/vec.h (simd/target_slot.h): no
// include guard.
namespace SIMD_NAMESPACE {
namespace {

static_assert(simd::kBlockColumnStep % kSweepGroup == 0, "column blocks are whole groups");

// Which operands a rule reads; the others are never touched (their pointers
// may be null) and reach the rule as zeros.
enum Reads { kReadsX = 1, kReadsCol = 2, kReadsRow = 4 };

// The operations rules are made of, by name, so that a kernel's table can
// pick one; Max and Min give a when a > b (a < b), otherwise b.
enum class Op { kAdd, kMultiply, kMax, kMin, kAbsDifference };
template <Op op, class V>
V apply(V a, V b) {
  switch (op) {  // a constant: only its case is compiled in
    case Op::kAdd: return add(a, b);
    case Op::kMultiply: return mul(a, b);
    case Op::kMax: return maxOf(a, b);
    case Op::kMin: return minOf(a, b);
    default: return absOf(sub(a, b));
  }
}

// Columns X[0..kCols) of the group, rows [begin, end) one element at a time.
template <int kCols, int kReads, class T, class Rule>
void sweepElements(const T *X, const T *col, const T *row, T *Y, ptrdiff_t m, int32_t begin,
                   int32_t end, Rule rule) {
  for (int32_t i = begin; i < end; ++i) {
    const T c = (kReads & kReadsCol) ? col[i] : T(0);
    for (int k = 0; k < kCols; ++k) {
      const T x = (kReads & kReadsX) ? X[k * m + i] : T(0);
      const T r = (kReads & kReadsRow) ? row[k] : T(0);
      Y[k * m + i] = rule(x, c, r);
    }
  }
}

// Rows [0, m) of the group's columns, which lie stride apart.
template <int kCols, int kReads, bool kStream, class T, class Rule>
void sweepGroup(const T *X, const T *col, const T *row, T *Y, ptrdiff_t stride, int32_t m,
                Rule rule) {
  using V = VecOf<T>;
  constexpr int kVecLanes = kLanesOf<T>, kLine = kLineElements<T>;
  // Rows per step: one vector, or streaming, one whole cache line per column.
  constexpr int kStep = kStream && kLine > kVecLanes ? kLine : kVecLanes;
  constexpr int kParts = kStep / kVecLanes;
  int32_t head = kStream ? elementsToLine(Y) : 0;
  if (head > m) head = m;
  const int32_t end = head + (m - head) / kStep * kStep;
  V r[kCols];
  for (int k = 0; k < kCols; ++k) r[k] = splat((kReads & kReadsRow) ? row[k] : T(0));

  sweepElements<kCols, kReads>(X, col, row, Y, stride, 0, head, rule);
  for (int32_t i = head; i < end; i += kStep) {
    // Every load before any store: X and Y often sit at the same offset in
    // their pages, and a load after a store 4 KiB apart would wait for it.
    V y[kCols][kParts];
    for (int u = 0; u < kParts; ++u) {
      const int32_t iu = i + u * kVecLanes;
      const V c = (kReads & kReadsCol) ? load(col + iu) : splat(T(0));
      for (int k = 0; k < kCols; ++k)
        y[k][u] = rule((kReads & kReadsX) ? load(X + k * stride + iu) : splat(T(0)), c, r[k]);
    }
    for (int k = 0; k < kCols; ++k)
      for (int u = 0; u < kParts; ++u) {
        if (kStream)
          stream(Y + k * stride + i + u * kVecLanes, y[k][u]);
        else
          store(Y + k * stride + i + u * kVecLanes, y[k][u]);
      }
  }
  sweepElements<kCols, kReads>(X, col, row, Y, stride, end, m, rule);
}

// p moved on by offset, for an operand the rule reads; null otherwise, as
// operands never read may be.
template <bool kRead, class T>
const T *moved(const T *p, ptrdiff_t offset) {
  return kRead ? p + offset : nullptr;
}

// Rows [0, m) of n columns that lie stride apart.
template <int kReads, bool kStream, class T, class Rule>
void sweepColumns(const T *X, const T *col, const T *row, T *Y, ptrdiff_t stride, int32_t m,
                  int32_t n, Rule rule) {
  constexpr bool kX = kReads & kReadsX, kRow = kReads & kReadsRow;
  int32_t j = 0;
  // Streaming, the columns of a group share their cache-line boundaries only
  // when a column is a whole number of lines.
  if (!kStream || stride % kLineElements<T> == 0) {
    for (; j + kSweepGroup <= n; j += kSweepGroup)
      sweepGroup<kSweepGroup, kReads, kStream>(moved<kX>(X, j * stride), col, moved<kRow>(row, j),
                                               Y + j * stride, stride, m, rule);
  }
  for (; j < n; ++j)
    sweepGroup<1, kReads, kStream>(moved<kX>(X, j * stride), col, moved<kRow>(row, j),
                                   Y + j * stride, stride, m, rule);
}

// Rows [i0, i1) of columns [j0, j1) of the m-by-n output Y.
template <int kReads, class T, class Rule>
void sweep(const T *X, const T *col, const T *row, T *Y, int32_t m, int32_t n, int32_t i0,
           int32_t i1, int32_t j0, int32_t j1, Rule rule) {
  constexpr bool kX = kReads & kReadsX, kCol = kReads & kReadsCol, kRow = kReads & kReadsRow;
  const bool stream = streams(Y, static_cast<double>(m) * n);
  const ptrdiff_t at = ptrdiff_t(j0) * m + i0;
  X = moved<kX>(X, at);
  col = moved<kCol>(col, i0);
  row = moved<kRow>(row, j0);
  Y += at;
  if (stream) {
    sweepColumns<kReads, true>(X, col, row, Y, m, i1 - i0, j1 - j0, rule);
    streamFence();
  } else {
    sweepColumns<kReads, false>(X, col, row, Y, m, i1 - i0, j1 - j0, rule);
  }
}

}  // namespace
}  // namespace SIMD_NAMESPACE
