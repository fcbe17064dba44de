#include "modules/description.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <sstream>

namespace test {

// Every module's description, in modules.txt's order (made from it by CMake).
std::vector<Description> describeListed();

Argument data(const char *name, size_t rows, size_t cols, size_t largeRows, size_t largeCols) {
  return {name, false, false, rows, cols, largeRows, largeCols};
}
Argument selector(const char *name) { return {name, true, false, 1, 1, 1, 1}; }
Argument count(const char *name) { return {name, false, true, 1, 1, 1, 1}; }

std::vector<Array> Description::validArgs(bool large, double fill) const {
  std::vector<Array> v;
  for (const Argument &a : args) {
    const size_t m = large ? a.largeRows : a.rows, n = large ? a.largeCols : a.cols;
    v.push_back(a.data() ? mexhost::matrix(m, n, std::vector<double>(m * n, fill)) : scalar(1));
  }
  return v;
}

int Description::operationArg() const {
  for (size_t k = args.size(); k-- > 0;)
    if (args[k].selector) return int(k);
  return -1;
}

const std::vector<Description> &descriptions() {
  static const std::vector<Description> all = describeListed();
  return all;
}

const Description &description(const std::string &module) {
  for (const Description &d : descriptions())
    if (d.module == module) return d;
  std::fprintf(stderr, "tests/modules has no description of %s\n", module.c_str());
  std::abort();
}

bool addressable(size_t m, size_t n) {
  return uint64_t(m) * n <= uint64_t(PTRDIFF_MAX) / sizeof(double);
}

bool isData(const mxArray *a) {
  return mxIsNumeric(a) && !mxIsComplex(a) && !mxIsSparse(a) && mxGetM(a) <= INT32_MAX &&
         mxGetN(a) <= INT32_MAX && mxGetNumberOfElements(a) <= INT32_MAX;
}

mxClassID dataClass(const Call &c, std::initializer_list<int> args,
                    const std::vector<mxClassID> &classes) {
  const mxClassID cls = mxGetClassID(c.arg(*args.begin()));
  if (std::find(classes.begin(), classes.end(), cls) == classes.end()) return mxUNKNOWN_CLASS;
  for (int k : args)
    if (!isData(c.arg(k)) || mxGetClassID(c.arg(k)) != cls) return mxUNKNOWN_CLASS;
  return cls;
}

std::string mismatch(const mxArray *got, const Expected &want) {
  if (want.singles) return firstSingleMismatch(got, want.m, want.n, want.singles(), want.element);
  return firstMismatch(got, want.m, want.n, want.values(), want.element);
}

bool isSelector(const mxArray *a) { return mxIsNumeric(a) || mxIsLogical(a) || mxIsChar(a); }

bool isCount(const mxArray *a) {
  if (!mxIsNumeric(a) || mxIsComplex(a) || mxGetNumberOfElements(a) != 1) return false;
  const double v = first(a);
  return v >= 1 && !std::isinf(v) && v == std::floor(v);
}

double first(const mxArray *a) {
  if (!mxIsSparse(a)) return mxGetScalar(a);
  const mwIndex *ir = mxGetIr(a), *jc = mxGetJc(a);
  if (jc[1] == 0 || ir[0] != 0) return 0.0;
  if (mxIsLogical(a)) return static_cast<const unsigned char *>(mxGetData(a))[0];
  return mxGetPr(a)[0];
}

int64_t code(const mxArray *a) {
  if (mxIsEmpty(a)) return INT64_MIN;
  const double v = first(a);
  if (std::isnan(v) || v <= -2147483649.0 || v >= 2147483648.0) return INT64_MIN;
  return static_cast<int64_t>(std::trunc(v));
}

const char *const kClassNames[16] = {"unknown", "cell",   "struct", "logical", "char",  "void",
                                     "double",  "single", "int8",   "uint8",   "int16", "uint16",
                                     "int32",   "uint32", "int64",  "uint64"};

bool readShape(const std::string &word, std::string *kind, size_t *m, size_t *n) {
  const size_t colon = word.find(':');
  *kind = colon == std::string::npos ? "" : word.substr(0, colon);
  std::istringstream shape(word.substr(colon == std::string::npos ? 0 : colon + 1));
  char x = 0;
  return shape >> *m >> x >> *n && x == 'x' && shape.peek() == EOF;
}

std::vector<Array> ErrorCase::inputs() const {
  std::vector<Array> made;
  std::istringstream words(args);
  for (std::string word, kind; words >> word;) {
    size_t m = 0, n = 0;
    const bool shaped = readShape(word, &kind, &m, &n);
    const char *const *cls = std::find(std::begin(kClassNames), std::end(kClassNames), kind);
    const mwSize huge[2] = {mwSize(1) << 31, 1};
    if (word == "huge")
      made.emplace_back(mxHostCreateShapeOnly(mxDOUBLE_CLASS, 2, huge));
    else if (!shaped)
      made.push_back(scalar(std::strtod(word.c_str(), nullptr)));
    else if (kind.empty() || kind == "complex")
      made.push_back(ofClass(mxDOUBLE_CLASS, m, n, kind.empty() ? mxREAL : mxCOMPLEX));
    else if (kind == "sparse")
      made.push_back(sparse(m, n));
    else if (cls != std::end(kClassNames))
      made.push_back(ofClass(mxClassID(cls - kClassNames), m, n));
    else
      std::abort();  // no test could trust a description it misreads
  }
  return made;
}

Array randomMatrix(size_t m, size_t n, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> value(-100.0, 100.0);
  std::vector<double> v(m * n);
  for (double &x : v) x = value(rng);
  return mexhost::matrix(m, n, v);
}

std::vector<Workload> inClasses(const Description &s, const Workload &w,
                                const std::vector<mxClassID> &classes) {
  std::vector<bool> isData;
  for (const Argument &a : s.args) isData.push_back(a.data());
  std::vector<Workload> each;
  for (mxClassID cls : classes) {
    Workload c = w;
    c.name += std::string(" ") + kClassNames[cls];
    c.inputs = [isData, make = w.inputs, cls] {
      std::vector<Array> in = make();
      for (size_t k = 0; k < isData.size() && k < in.size(); ++k) {
        if (!isData[k]) continue;
        const mxArray *from = in[k].get();
        const size_t m = mxGetM(from), n = mxGetN(from);
        Array to = ofClass(cls, m, n);
        for (size_t e = 0; e < m * n; ++e) {
          const double v = std::fmod(std::floor(std::fabs(mxGetPr(from)[e]) * 256.0), 256.0);
          char *at = static_cast<char *>(mxGetData(to.get())) + e * mxGetElementSize(to.get());
          switch (cls) {
            case mxDOUBLE_CLASS: *reinterpret_cast<double *>(at) = v; break;
            case mxSINGLE_CLASS: *reinterpret_cast<float *>(at) = float(v); break;
            case mxUINT8_CLASS: *reinterpret_cast<uint8_t *>(at) = uint8_t(v); break;
            default: std::abort();  // a class no workload is timed in
          }
        }
        in[k] = std::move(to);
      }
      return in;
    };
    // A single output holds half the bytes.
    if (cls == mxSINGLE_CLASS) c.bytes /= 2;
    each.push_back(c);
  }
  return each;
}

std::vector<Workload> sweep(
    const std::string &name, size_t side, const std::vector<int> &tallness,
    const std::function<Workload(const std::string &, size_t, size_t)> &at) {
  std::vector<Workload> w;
  for (int t : tallness) {
    // N1 * N2 stays side^2.
    const double ratio = t > 0 ? t : -1.0 / t;
    const size_t N1 = size_t(side * std::sqrt(ratio) + 0.5), N2 = side * side / N1;
    w.push_back(at(name + " " + std::to_string(N1) + "x" + std::to_string(N2), N1, N2));
  }
  return w;
}

}  // namespace test
