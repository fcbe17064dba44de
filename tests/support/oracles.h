// The plain scalar definition of every module's result, written as directly
// as it can be: one element at a time, one accumulator, terms in row order.
// Unit tests and fuzz targets compare module outputs with these bit for bit.
// Whole results are column-major; the data of an empty input is never read.
#ifndef EXACTMEX_TESTS_ORACLES_H
#define EXACTMEX_TESTS_ORACLES_H

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace oracle {

// What the modules promise of a result element. A computed one has the bits
// of the definition's value, or is a NaN where that is NaN, of any sign and
// payload: IEEE 754 leaves them open, and which operand's NaN an add or
// multiply keeps differs between targets and operand orders. A selected one,
// an operand copied or chosen by max or min, keeps that operand's exact bits.
enum class Element { kComputed, kSelected };

// The broadcast modules and meshapply take doubles or floats (T); every
// operation is one of T, rounded to T, in the order written here.

// lanefuse: X(i,j) combined with its paired element p (v(i) or v(j)).
template <class T>
T lane(int op, T x, T p) {
  switch (op) {
    case 0: return p;
    case 1: return x + p;
    case 2: return x * p;
    case 3: return x > p ? x : p;
    case 4: return x < p ? x : p;
    default: return T(0);
  }
}

// Copy (0), max (3) and min (4) select; add and multiply compute.
inline Element laneElement(int op) {
  return op == 1 || op == 2 ? Element::kComputed : Element::kSelected;
}

template <class T>
std::vector<T> lanefuse(const T *X, const T *v, int d, int op, size_t m, size_t n) {
  std::vector<T> Y(m * n);
  for (size_t j = 0; j < n; ++j)
    for (size_t i = 0; i < m; ++i) Y[i + j * m] = lane(op, X[i + j * m], d == 1 ? v[i] : v[j]);
  return Y;
}

// crossfuse: the row element and X(i,j) first, then the column element.
template <class T>
T cross(int op, T r, T x, T c) {
  if (op == 1) return (r + x) + c;
  if (op == 2) return (r * x) * c;
  return T(0);
}

template <class T>
std::vector<T> crossfuse(const T *X, const T *vrow, const T *vcol, int op, size_t m, size_t n) {
  std::vector<T> Y(m * n);
  for (size_t j = 0; j < n; ++j)
    for (size_t i = 0; i < m; ++i) Y[i + j * m] = cross(op, vrow[j], X[i + j * m], vcol[i]);
  return Y;
}

// meshapply: x(i) op y(j).
template <class T>
T mesh(int op, T a, T b) {
  switch (op) {
    case 1: return a + b;
    case 2: return a * b;
    case 3: return std::fabs(a - b);
    case 4: return a > b ? a : b;
    default: return a < b ? a : b;
  }
}

// Max (4) and min (5) select; the rest compute.
inline Element meshElement(int op) { return op >= 4 ? Element::kSelected : Element::kComputed; }

template <class T>
std::vector<T> meshapply(const T *x, size_t m, const T *y, size_t n, int op) {
  std::vector<T> Y(m * n);
  for (size_t j = 0; j < n; ++j)
    for (size_t i = 0; i < m; ++i) Y[i + j * m] = mesh(op, x[i], y[j]);
  return Y;
}

// A family of metrics between columns a and b of d rows: the elements of a
// table module (sampledist, bindist) and what its nearest module ranks.
// Single data gives single results, every operation one of single
// precision; every other class double results, of its elements converted
// to double (exactly), so an integer column gives the bits of the same
// column of doubles.
template <class T>
using ResultOf = std::conditional_t<std::is_same_v<T, float>, float, double>;
template <class T>
using MetricOf = ResultOf<T> (*)(int code, const T *a, const T *b, size_t d);
using Metric = MetricOf<double>;

// The sample family: r = t(0), then each later row in order; with no rows, 0.
template <class T>
ResultOf<T> sample(int code, const T *a, const T *b, size_t d) {
  using R = ResultOf<T>;
  if (d == 0) return R(0);
  R r = std::fabs(R(a[0]) - R(b[0]));
  for (size_t k = 1; k < d; ++k) {
    const R t = std::fabs(R(a[k]) - R(b[k]));
    if (code == 1) r = r + t;
    if (code == 2 && t > r) r = t;
    if (code == 3 && t < r) r = t;
  }
  return r;
}

// The histogram family: t log t for t > 0, 0 for zero, negative and NaN.
// In single, the double log of the single value rounded to single, the
// multiply in single.
inline double xlogx(double t) { return t > 0.0 ? t * std::log(t) : 0.0; }
inline float xlogx(float t) { return t > 0.0f ? t * float(std::log(double(t))) : 0.0f; }

template <class R>
R binTerm(int mcode, R a, R b) {
  if (mcode == 1) return b > a ? a : b;
  if (mcode == 2) return ((a - b) * (a - b)) / ((a + b) * R(2));
  return (xlogx(a) + xlogx(b)) - xlogx((a + b) * R(0.5)) * R(2);
}

// Sums start from +0.0; the intersection divides by the column sum of b.
template <class T>
ResultOf<T> bin(int mcode, const T *a, const T *b, size_t d) {
  using R = ResultOf<T>;
  R s = 0, c = 0;
  for (size_t k = 0; k < d; ++k) {
    s += binTerm(mcode, R(a[k]), R(b[k]));
    c += R(b[k]);
  }
  return mcode == 1 ? R(1) - s / c : s;
}

// A family's n1-by-n2 table: element (i, j) between column i of A and
// column j of B.
template <class T>
std::vector<ResultOf<T>> table(MetricOf<T> metric, int code, const T *A, size_t n1, const T *B,
                               size_t n2, size_t d) {
  std::vector<ResultOf<T>> D(n1 * n2);
  for (size_t j = 0; j < n2; ++j)
    for (size_t i = 0; i < n1; ++i) D[i + j * n1] = metric(code, A + i * d, B + j * d, d);
  return D;
}

inline std::vector<double> sampledist(const double *X1, size_t n1, const double *X2, size_t n2,
                                      size_t d, int code) {
  return table(sample<double>, code, X1, n1, X2, n2, d);
}

inline std::vector<double> bindist(const double *H1, size_t n1, const double *H2, size_t n2,
                                   size_t d, int mcode) {
  return table(bin<double>, mcode, H1, n1, H2, n2, d);
}

// A nearest module: the kk first of each column of the n1-by-n2 table whose
// element (i, j) is element(i, j), as a stable ascending sort orders it (-0
// equal to +0, NaN after every number), and their rows counted from 1. The
// table is made a column at a time.
struct Nearest {
  std::vector<double> D, I;
};

template <class Element>
Nearest nearest(Element element, size_t n1, size_t n2, size_t kk) {
  Nearest r{std::vector<double>(kk * n2), std::vector<double>(kk * n2)};
  std::vector<size_t> rows(n1);
  std::vector<double> column(n1);
  for (size_t j = 0; j < n2; ++j) {
    for (size_t i = 0; i < n1; ++i) {
      rows[i] = i;
      column[i] = element(i, j);
    }
    std::stable_sort(rows.begin(), rows.end(), [&](size_t a, size_t b) {
      return column[a] < column[b] || (!std::isnan(column[a]) && std::isnan(column[b]));
    });
    for (size_t k = 0; k < kk; ++k) {
      r.D[k + j * kk] = column[rows[k]];
      r.I[k + j * kk] = double(rows[k] + 1);
    }
  }
  return r;
}

// The nearest of a family's table (see table()); single distances as
// doubles, which hold them exactly and in the same order.
template <class T>
Nearest nearest(MetricOf<T> metric, int code, const T *A, size_t n1, const T *B, size_t n2,
                size_t d, size_t kk) {
  return nearest([=](size_t i, size_t j) { return double(metric(code, A + i * d, B + j * d, d)); },
                 n1, n2, kk);
}

// mintid: a random (version 4) GUID with the RFC 4122 variant, in the byte
// order of the Windows GUID record.
inline bool isVersion4Guid(const uint8_t *id) { return id[7] >> 4 == 4 && id[8] >> 6 == 2; }

}  // namespace oracle

#endif
