#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "modules/description.h"

namespace test {

namespace {

// The elements of a data array of any class as doubles, column-major.
std::vector<double> widened(const mxArray *a) {
  std::vector<double> v(mxGetNumberOfElements(a));
  const mxClassID cls = mxGetClassID(a);
  for (size_t k = 0; k < v.size(); ++k) {
    switch (cls) {
      case mxDOUBLE_CLASS: v[k] = dataOf<double>(a)[k]; break;
      case mxINT8_CLASS: v[k] = dataOf<int8_t>(a)[k]; break;
      case mxUINT8_CLASS: v[k] = dataOf<uint8_t>(a)[k]; break;
      case mxINT16_CLASS: v[k] = dataOf<int16_t>(a)[k]; break;
      case mxUINT16_CLASS: v[k] = dataOf<uint16_t>(a)[k]; break;
      case mxINT32_CLASS: v[k] = dataOf<int32_t>(a)[k]; break;
      case mxUINT32_CLASS: v[k] = dataOf<uint32_t>(a)[k]; break;
      default:
        // Single data have their own definition, evaluated in single.
        std::fprintf(stderr, "the family model has no definition for class %d\n", int(cls));
        std::abort();
    }
  }
  return v;
}

// D = TABLE(A, B, code), or [D, I] = NEAREST(A, B, code, k): the nearest
// of each column of the table, ranked a column at a time (the whole table
// may be larger than the fuzz build lets one allocation be). Data of an
// integer class give the results of their values as doubles; single data
// the definition evaluated in single.
Expected expect(const oracle::Metric metric, oracle::MetricOf<float> single, bool nearest,
                const std::vector<mxClassID> &classes, const Call &c) {
  if (c.nlhs > (nearest ? 2 : 1) || c.nrhs() != (nearest ? 4 : 3)) return {};
  const mxArray *A = c.arg(0), *B = c.arg(1);
  const mxClassID cls = dataClass(c, {0, 1}, classes);
  if (!cls || !isSelector(c.arg(2)) || (nearest && !isCount(c.arg(3)))) return {};
  const int64_t op = code(c.arg(2));
  const size_t d = mxGetM(A), n1 = mxGetN(A), n2 = mxGetN(B);
  const size_t kk = nearest ? size_t(std::min(first(c.arg(3)), double(n1))) : n1;
  if (op < 1 || op > 3 || mxGetM(B) != d || !addressable(kk, n2)) return {};
  if (cls == mxSINGLE_CLASS) {
    const float *a = dataOf<float>(A), *b = dataOf<float>(B);
    Expected e{true, kk, n2, nullptr};
    if (!nearest) {
      e.singles = [=] { return oracle::table(single, int(op), a, n1, b, n2, d); };
      return e;
    }
    const auto ranked = [=] { return oracle::nearest(single, int(op), a, n1, b, n2, d, kk); };
    e.singles = [=] {
      const std::vector<double> D = ranked().D;
      return std::vector<float>(D.begin(), D.end());
    };
    if (c.nlhs == 2) e.second = [=] { return ranked().I; };
    return e;
  }
  if (!nearest)
    return {true, n1, n2, [=] {
              return oracle::table(metric, int(op), widened(A).data(), n1, widened(B).data(), n2,
                                   d);
            }};
  const auto ranked = [=] {
    return oracle::nearest(metric, int(op), widened(A).data(), n1, widened(B).data(), n2, d, kk);
  };
  Expected e{true, kk, n2, [=] { return ranked().D; }};
  if (c.nlhs == 2) e.second = [=] { return ranked().I; };
  return e;
}

}  // namespace

Description familyModule(const std::string &module, bool nearest, const char *a, const char *b,
                         const char *code, oracle::Metric metric, oracle::MetricOf<float> single,
                         const Messages &m) {
  Description s;
  s.module = module;
  s.args = {data(a, 3, 2, 3, 100), data(b, 3, 4, 3, 100), selector(code)};
  // The classes its data may be of (the family's Classes), which the model
  // takes as they are here.
  s.classes = {mxDOUBLE_CLASS, mxSINGLE_CLASS, mxINT8_CLASS,  mxUINT8_CLASS,
               mxINT16_CLASS,  mxUINT16_CLASS, mxINT32_CLASS, mxUINT32_CLASS};
  s.expect = [=, classes = s.classes](const Call &c) {
    return expect(metric, single, nearest, classes, c);
  };
  s.lastCode = 4;
  const std::string inputClass = " must be a real, full double array.\n";
  if (nearest) {
    s.args.push_back(count("k"));
    s.outputs = 2;
    s.errors = {{"nargin", 1, "2x2 2x2 1", m.inputs},
                {"nargout", 3, "2x2 2x2 1 1", m.outputs},
                {"badCode", 1, "2x2 2x2 4 1", m.code},
                {"sizeMismatch", 1, "2x2 3x2 1 1", m.rows},
                {"badK", 2, "2x2 2x2 1 0.5",
                 module + ": k must be a real numeric scalar holding a positive whole number.\n"},
                {"inputClass", 1, "2x2 sparse:2x2 1 1", module + ": " + b + inputClass},
                {"inputClass", 1, "2x2 logical:2x2 1 1", module + ": " + b + inputClass},
                {"classMismatch", 1, "uint8:2x2 int8:3x2 1 1",
                 module + ": " + a + " (uint8) and " + b + " (int8) must be of the same class.\n"}};
    return s;
  }
  s.errors = {
      {"nargin", 1, "", m.inputs},
      {"nargin", 1, "2x2", m.inputs},
      {"nargout", 2, "2x2 2x2 1", m.outputs},
      {"badCode", 1, "2x2 2x2 0", m.code},
      {"badCode", 1, "2x2 2x2 4", m.code},
      {"badCode", 1, "1 1 NaN", m.code},
      {"sizeMismatch", 1, "2x2 3x2 1", m.rows},
      {"inputClass", 1, "sparse:2x2 2x2 1", module + ": " + a + inputClass},
      {"inputClass", 1, "complex:2x2 2x2 1", module + ": " + a + inputClass},
      {"inputClass", 1, "int64:2x2 2x2 1", module + ": " + a + inputClass},
      {"classMismatch", 1, "single:2x2 3x2 1",
       module + ": " + a + " (single) and " + b + " (double) must be of the same class.\n"}};
  // 1073764994 x 2147437309 doubles: a byte count past 2^64 (which would
  // wrap to 537,552 bytes), refused before the host is asked for memory.
  // Inputs without rows cost nothing, so any caller can ask.
  for (const char *huge : {"0x1073764994 0x2147437309 1", "0x1073764994 0x2147437309 2",
                           "0x1073764994 0x2147437309 3"})
    s.errors.push_back({"tooLarge", 1, huge,
                        module + ": the output of 1073764994 x 2147437309 elements is too large "
                                 "for memory.\n"});
  return s;
}

Workload pairs(const std::string &name, size_t d, size_t N1, size_t N2, int code, double k,
               const std::string &table) {
  auto inputs = [=] {
    std::mt19937_64 rng(d);
    std::uniform_real_distribution<double> value(0.0, 1.0);
    std::vector<double> a(d * N1), b(d * N2);
    for (double &x : a) x = value(rng);
    for (double &x : b) x = value(rng);
    std::vector<Array> in = arrays(matrix(d, N1, a), matrix(d, N2, b), scalar(code));
    if (k > 0) in.push_back(scalar(k));
    return in;
  };
  const double rows = k > 0 ? std::fmin(k, N1) : N1;
  return {name, inputs, double(d) * N1 * N2, rows * N2 * sizeof(double), "terms", table};
}

std::vector<Workload> pairShapes(const std::string &name, size_t d, int code, size_t side,
                                 const std::vector<int> &tallness) {
  return sweep(
      name + " d=" + std::to_string(d), side, tallness,
      [=](const std::string &at, size_t N1, size_t N2) { return pairs(at, d, N1, N2, code); });
}

}  // namespace test
