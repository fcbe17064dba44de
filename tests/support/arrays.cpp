#include "support/arrays.h"

#include <algorithm>
#include <cstdio>

namespace test {

std::string testModuleDir() { return EXACTMEX_TEST_MODULE_DIR; }

Array matrix(size_t m, size_t n, std::initializer_list<double> values) {
  return matrix(m, n, std::vector<double>(values));
}

Array ndArray(const std::vector<mwSize> &dims, const std::vector<double> &values) {
  Array a(mxCreateNumericArray(dims.size(), dims.data(), mxDOUBLE_CLASS, mxREAL));
  std::copy(values.begin(), values.end(), mxGetPr(a.get()));
  return a;
}

std::vector<mwSize> dimsOf(const mxArray *a) {
  const mwSize *d = mxGetDimensions(a);
  return std::vector<mwSize>(d, d + mxGetNumberOfDimensions(a));
}

Array ofClass(mxClassID cls, size_t m, size_t n, mxComplexity c) {
  const mwSize dims[2] = {m, n};
  return Array(mxHostCreateArray(cls, 2, dims, c));
}

Array sparse(size_t m, size_t n, const std::vector<Stored> &stored) {
  Array a(mxCreateSparse(m, n, stored.size(), mxREAL));
  mwIndex *ir = mxGetIr(a.get()), *jc = mxGetJc(a.get());
  for (size_t k = 0; k < stored.size(); ++k) {
    ir[k] = stored[k].row;
    mxGetPr(a.get())[k] = stored[k].value;
    for (size_t j = stored[k].col + 1; j <= n; ++j) jc[j] = k + 1;
  }
  return a;
}

std::vector<double> values(const mxArray *a) {
  const double *p = mxGetPr(a);
  return std::vector<double>(p, p + mxGetNumberOfElements(a));
}

uint64_t bits(double x) {
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

uint32_t bits(float x) {
  uint32_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

namespace {

template <class T>
bool same(T got, T want, Element e) {
  return bits(got) == bits(want) ||
         (e == Element::kComputed && std::isnan(got) && std::isnan(want));
}

}  // namespace

bool sameResult(double got, double want, Element e) { return same(got, want, e); }
bool sameResult(float got, float want, Element e) { return same(got, want, e); }

namespace {

template <class T>
std::string mismatchOf(const mxArray *got, size_t m, size_t n, const std::vector<T> &want,
                       Element e) {
  char text[200];
  if (!got) return "no output stored";
  const mxClassID cls = sizeof(T) == 4 ? mxSINGLE_CLASS : mxDOUBLE_CLASS;
  if (mxGetClassID(got) != cls || mxGetM(got) != m || mxGetN(got) != n) {
    std::snprintf(text, sizeof text, "output is %zux%zu (class %d), want %zux%zu (class %d)",
                  static_cast<size_t>(mxGetM(got)), static_cast<size_t>(mxGetN(got)),
                  static_cast<int>(mxGetClassID(got)), m, n, static_cast<int>(cls));
    return text;
  }
  const T *p = static_cast<const T *>(mxGetData(got));
  for (size_t k = 0; k < want.size(); ++k) {
    if (!sameResult(p[k], want[k], e)) {
      std::snprintf(text, sizeof text, "element %zu is %a (bits %016llx), want %a (bits %016llx)",
                    k, double(p[k]), static_cast<unsigned long long>(bits(p[k])), double(want[k]),
                    static_cast<unsigned long long>(bits(want[k])));
      return text;
    }
  }
  return "";
}

}  // namespace

std::string firstMismatch(const mxArray *got, size_t m, size_t n, const std::vector<double> &want,
                          Element e) {
  return mismatchOf(got, m, n, want, e);
}

std::string firstSingleMismatch(const mxArray *got, size_t m, size_t n,
                                const std::vector<float> &want, Element e) {
  return mismatchOf(got, m, n, want, e);
}

template <>
const std::vector<double> &stressValues() {
  static const std::vector<double> pool = {kNaN,
                                           -kNaN,
                                           kInf,
                                           -kInf,
                                           0.0,
                                           -0.0,
                                           1.0,
                                           -1.0,
                                           2.0,
                                           0.5,
                                           3.0,
                                           std::numeric_limits<double>::denorm_min(),
                                           -std::numeric_limits<double>::denorm_min(),
                                           std::numeric_limits<double>::min() / 3,
                                           std::numeric_limits<double>::max(),
                                           -std::numeric_limits<double>::max(),
                                           1e16,
                                           -1e16,
                                           1e308,
                                           1e-308,
                                           0x1p53,
                                           -0x1p53};
  return pool;
}

// Single precision's own extremes, and values whose sums fall halfway between
// two floats (2^-24 beside 1 and 1 + 2^-23, 1 beside 2^24), where rounding
// to even shows, and where a sum rounded once to float from double differs
// from two float additions.
template <>
const std::vector<float> &stressValues() {
  using limits = std::numeric_limits<float>;
  const float nan = limits::quiet_NaN(), inf = limits::infinity(), tiny = limits::denorm_min();
  const float least = limits::min(), most = limits::max();
  static const std::vector<float> pool = {
      nan,  -nan,  inf,   -inf,   0.0f,    -0.0f,     1.0f,     -1.0f,
      2.0f, 0.5f,  3.0f,  tiny,   -tiny,   least / 3, most,     -most,
      1e7f, -1e7f, 1e38f, 1e-38f, 0x1p24f, -0x1p24f,  0x1p-24f, 0x1.000002p0f};
  return pool;
}

template <class T>
T specialValue(std::mt19937_64 &rng) {
  const std::vector<T> &pool = stressValues<T>();
  const size_t poolSize = pool.size();
  std::uniform_int_distribution<size_t> pick(0, 2 * poolSize - 1);
  const size_t k = pick(rng);
  if (k < poolSize) return pool[k];
  std::uniform_real_distribution<double> ordinary(-100.0, 100.0);
  return T(ordinary(rng));
}

template <class T>
std::vector<T> specialValues(std::mt19937_64 &rng, size_t count) {
  std::vector<T> v(count);
  for (T &x : v) x = specialValue<T>(rng);
  return v;
}

template double specialValue(std::mt19937_64 &);
template float specialValue(std::mt19937_64 &);
template std::vector<double> specialValues(std::mt19937_64 &, size_t);
template std::vector<float> specialValues(std::mt19937_64 &, size_t);

}  // namespace test
