// What each module does with any call, for its fuzz target (harness.h): one
// model per module of modules.txt, all in this table. A model says whether a
// call is valid and, when it is, what its outputs hold (tests/support/
// oracles.h), and lists the module's fixed messages.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "fuzz/harness.h"
#include "support/oracles.h"

namespace {

// lanefuse: Y = lanefuse(X, v, d, opcode).
fuzz::Expected expect_lanefuse(const fuzz::Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 4) return {};
  const mxArray *X = c.arg(0), *v = c.arg(1);
  if (!fuzz::isData(X) || !fuzz::isData(v) || !fuzz::isSelector(c.arg(2)) ||
      !fuzz::isSelector(c.arg(3)))
    return {};
  const int64_t d = fuzz::code(c.arg(2)), op = fuzz::code(c.arg(3));
  const size_t m = mxGetM(X), n = mxGetN(X);
  const bool fits =
      d == 1 ? mxGetM(v) == m && mxGetN(v) == 1 : d == 2 && mxGetM(v) == 1 && mxGetN(v) == n;
  if (!fits) return {};
  const int kernel = op < 0 || op > 4 ? -1 : int(op);
  return {true, m, n,
          [=] { return oracle::lanefuse(mxGetPr(X), mxGetPr(v), int(d), kernel, m, n); },
          oracle::laneElement(kernel)};
}

// crossfuse: Y = crossfuse(X, vrow, vcol, opcode).
fuzz::Expected expect_crossfuse(const fuzz::Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 4) return {};
  const mxArray *X = c.arg(0), *vrow = c.arg(1), *vcol = c.arg(2);
  if (!fuzz::isData(X) || !fuzz::isData(vrow) || !fuzz::isData(vcol) || !fuzz::isSelector(c.arg(3)))
    return {};
  const size_t m = mxGetM(X), n = mxGetN(X);
  if (mxGetM(vrow) != 1 || mxGetN(vrow) != n || mxGetM(vcol) != m || mxGetN(vcol) != 1) return {};
  const int64_t op = fuzz::code(c.arg(3));
  return {true, m, n, [=] {
            return oracle::crossfuse(mxGetPr(X), mxGetPr(vrow), mxGetPr(vcol),
                                     op == 1 || op == 2 ? int(op) : 0, m, n);
          }};
}

// meshapply: Y = meshapply(x, y, opcode).
fuzz::Expected expect_meshapply(const fuzz::Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 3) return {};
  const mxArray *x = c.arg(0), *y = c.arg(1);
  if (!fuzz::isData(x) || !fuzz::isData(y) || !fuzz::isSelector(c.arg(2))) return {};
  const int64_t op = fuzz::code(c.arg(2));
  if (op < 1 || op > 5) return {};
  const size_t m = mxGetNumberOfElements(x), n = mxGetNumberOfElements(y);
  return {true, m, n, [=] { return oracle::meshapply(mxGetPr(x), m, mxGetPr(y), n, int(op)); },
          oracle::meshElement(int(op))};
}

// sampledist: D = sampledist(X1, X2, code).
fuzz::Expected expect_sampledist(const fuzz::Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 3) return {};
  const mxArray *X1 = c.arg(0), *X2 = c.arg(1);
  if (!fuzz::isData(X1) || !fuzz::isData(X2) || !fuzz::isSelector(c.arg(2))) return {};
  const int64_t code = fuzz::code(c.arg(2));
  const size_t d = mxGetM(X1), n1 = mxGetN(X1), n2 = mxGetN(X2);
  if (code < 1 || code > 3 || mxGetM(X2) != d) return {};
  return {true, n1, n2,
          [=] { return oracle::sampledist(mxGetPr(X1), n1, mxGetPr(X2), n2, d, int(code)); }};
}

// bindist: D = bindist(H1, H2, mcode).
fuzz::Expected expect_bindist(const fuzz::Call &c) {
  if (c.nlhs > 1 || c.nrhs() != 3) return {};
  const mxArray *H1 = c.arg(0), *H2 = c.arg(1);
  if (!fuzz::isData(H1) || !fuzz::isData(H2) || !fuzz::isSelector(c.arg(2))) return {};
  const int64_t mcode = fuzz::code(c.arg(2));
  const size_t d = mxGetM(H1), n1 = mxGetN(H1), n2 = mxGetN(H2);
  if (mcode < 1 || mcode > 3 || mxGetM(H2) != d) return {};
  return {true, n1, n2,
          [=] { return oracle::bindist(mxGetPr(H1), n1, mxGetPr(H2), n2, d, int(mcode)); }};
}

// mintid: [ok, id] = mintid(), called with any inputs and
fuzz::Expected expect_mintid(const fuzz::Call &c) {
  fuzz::Expected e;
  e.valid = c.nrhs() == 0 && c.nlhs == 2;
  return e;
}

// ok true and a fresh GUID, or ok false and an empty id when the system's
// random source fails.
void checkOutputs_mintid(const test::CallResult &r) {
  const mxArray *ok = r.outputs[0].get(), *id = r.outputs[1].get();
  if (!ok || !id) fuzz::fail("an output is missing");
  if (!mxIsLogical(ok) || mxGetNumberOfElements(ok) != 1 || mxGetClassID(id) != mxUINT8_CLASS)
    fuzz::fail("the outputs are of the wrong class or size");
  const bool made = mxGetScalar(ok) == 1.0;
  if (mxGetM(id) != (made ? 1u : 0u) || mxGetN(id) != (made ? 16u : 0u))
    fuzz::fail("id has the wrong size for ok");
  if (made && !oracle::isVersion4Guid(static_cast<const uint8_t *>(mxGetData(id))))
    fuzz::fail("id is not a version 4 GUID");
}

// A count (k): a real numeric scalar, sparse too, holding a positive whole
// number.
bool isCount(const mxArray *a) {
  if (!mxIsNumeric(a) || mxIsComplex(a) || mxGetNumberOfElements(a) != 1) return false;
  const double v = fuzz::first(a);
  return v >= 1 && !std::isinf(v) && v == std::floor(v);
}

// sampleknn and binknn: [D, I] = FN(X1, X2, code, k), the nearest of the
// table of sampledist or bindist.
template <bool kHistograms>
fuzz::Expected expectNearest(const fuzz::Call &c) {
  if (c.nlhs > 2 || c.nrhs() != 4) return {};
  const mxArray *A = c.arg(0), *B = c.arg(1);
  if (!fuzz::isData(A) || !fuzz::isData(B) || !fuzz::isSelector(c.arg(2)) || !isCount(c.arg(3)))
    return {};
  const int64_t code = fuzz::code(c.arg(2));
  const size_t d = mxGetM(A), n1 = mxGetN(A), n2 = mxGetN(B);
  if (code < 1 || code > 3 || mxGetM(B) != d) return {};
  const size_t kk = size_t(std::min(fuzz::first(c.arg(3)), double(n1)));
  // The table a column at a time: the whole one may be larger than the
  // fuzz build lets one allocation be.
  const auto nearest = [=] {
    const double *a = mxGetPr(A), *b = mxGetPr(B);
    return oracle::nearest(
        [=](size_t i, size_t j) {
          if (kHistograms) return oracle::bin(int(code), a + i * d, b + j * d, d);
          return d == 0 ? 0.0 : oracle::sample(int(code), a + i * d, b + j * d, d);
        },
        n1, n2, kk);
  };
  fuzz::Expected e{true, kk, n2, [=] { return nearest().D; }};
  if (c.nlhs == 2) e.second = [=] { return nearest().I; };
  return e;
}

}  // namespace

const fuzz::Target *fuzz::targetNamed(const char *module) {
  static const Target targets[] = {
      {"lanefuse",
       {"The number of outputs should not be larger than 1\n",
        "The number of inputs should be 4: X, v, d, opcode\n", "The size of vector v is illegal\n",
        "The value of d is illegal, it should be either 1 or 2\n"},
       expect_lanefuse,
       -1,
       5},
      {"crossfuse",
       {"The number of outputs should not be larger than 1\n",
        "The number of inputs should be 4: X, vrow, vcol, opcode\n",
        "The size of the row vector is illegal, it should be 1 x n.\n",
        "The size of the column vector is illegal, it should be m x 1.\n"},
       expect_crossfuse,
       -1,
       3},
      {"meshapply",
       {"The number of input arguments should be 3.\n",
        "The number of output arguments should not exceed 1.\n",
        "The opcode should be between 1 and 5.\n"},
       expect_meshapply,
       0,
       6},
      {"sampledist",
       {"The number of input should be 3.\n", "The number of output should not be larger than 1.\n",
        "The pdm code should be from 1 to 3.\n",
        "The sample dimensions of X1 and X2 are not the same.\n"},
       expect_sampledist,
       0,
       4},
      {"bindist",
       {"bindist uses 3 input arguments.\n", "Too many output arguments for bindist.\n",
        "The dimensions of H1 ans H2 are not equal.\n", "mcode should be either 1 or 2.\n"},
       expect_bindist,
       0,
       4},
      {"mintid",
       {"No input variables are allowed for mintid", "The number of outputs should be exactly 2"},
       expect_mintid,
       0,
       0,
       checkOutputs_mintid},
      {"sampleknn",
       {"The number of input should be 4.\n", "The number of output should not be larger than 2.\n",
        "The pdm code should be from 1 to 3.\n",
        "The sample dimensions of X1 and X2 are not the same.\n"},
       expectNearest<false>,
       0,
       4},
      {"binknn",
       {"binknn uses 4 input arguments.\n", "Too many output arguments for binknn.\n",
        "The dimensions of H1 ans H2 are not equal.\n", "mcode should be either 1 or 2.\n"},
       expectNearest<true>,
       0,
       4}};
  for (const Target &t : targets)
    if (std::strcmp(t.module, module) == 0) return &t;
  return nullptr;
}
