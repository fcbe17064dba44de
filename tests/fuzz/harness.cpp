// Every fuzz target: this file, built once per module. The fuzzer's bytes
// choose a call: the number of outputs and inputs, the class of its data
// (one the module takes), and for each input its class (mostly the call's),
// complexity, sparsity, dims (0, 1, small, or far beyond 32-bit
// counts) and values (NaN, +-Inf, +-0, subnormals, selector fractions, raw
// bits). The call goes to the module's gateway through the standalone host,
// and its outcome must be what the module's description (tests/modules/)
// expects:
//   - an invalid call fails with the message of one of the module's error
//     cases or with a validation error "<module>: ...";
//   - a valid call succeeds with a result equal by bits to the scalar oracle,
//     or fails with the host's "Out of memory.\n" when its output is larger
//     than the fuzz build lets one allocation be;
//   - inputs are left unchanged and no array is left behind.
// Anything else aborts, and libFuzzer keeps the input that did it.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>

#include "modules/description.h"

#define EXACTMEX_STRINGIFY(x) #x
#define EXACTMEX_MB(x) EXACTMEX_STRINGIFY(x)
#define EXACTMEX_FUZZ_ALLOCATION_LIMIT_MB 32

// Allocations above the limit return null instead of ending the process, so a
// valid call with an oversized output fails as it would on a smaller machine.
extern "C" const char *__asan_default_options() {
  return "allocator_may_return_null=1:max_allocation_size_mb=" EXACTMEX_MB(
      EXACTMEX_FUZZ_ALLOCATION_LIMIT_MB) ":detect_leaks=1";
}
extern "C" const char *__ubsan_default_options() { return "print_stacktrace=1"; }

namespace fuzz {
namespace {

using namespace test;

const Description &target() { return test::description(EXACTMEX_FUZZ_MODULE); }

// Reports a broken expectation and aborts.
[[noreturn]] void fail(const char *what, const std::string &detail = "") {
  std::fprintf(stderr, "%s: %s%s%s\n", EXACTMEX_FUZZ_MODULE, what, detail.empty() ? "" : ": ",
               detail.c_str());
  std::abort();
}

// Arrays with more elements, or a dimension beyond this, cannot be backed by
// memory here: they are turned into shapes that every module rejects. 1024
// elements still make a column straddle the pair tile's 256-row chunks, and
// keep a meshapply output within 8 MiB, so each run takes milliseconds.
constexpr mwSize kMaxElements = 1024;
constexpr mwSize kMaxDim = 4096;
constexpr mwSize kBeyondInt32 = mwSize(INT32_MAX) + 1;

const mxClassID kOtherClasses[] = {mxSINGLE_CLASS, mxINT8_CLASS,    mxUINT8_CLASS,  mxINT16_CLASS,
                                   mxUINT16_CLASS, mxINT32_CLASS,   mxUINT32_CLASS, mxINT64_CLASS,
                                   mxUINT64_CLASS, mxLOGICAL_CLASS, mxCHAR_CLASS,   mxCELL_CLASS,
                                   mxSTRUCT_CLASS, mxFUNCTION_CLASS};

const mwSize kSmallDims[] = {1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 16, 17};
const mwSize kLargeDims[] = {33,
                             64,
                             4097,
                             46341,  // its square passes INT32_MAX
                             65536,
                             kMaxDim,
                             INT32_MAX,
                             kBeyondInt32,
                             0xFFFFFFFFu,
                             mwSize(1) << 32,
                             (mwSize(1) << 32) + 1,
                             mwSize(1) << 33,
                             mwSize(1) << 62,
                             std::numeric_limits<mwSize>::max() / 2,
                             std::numeric_limits<mwSize>::max() - 1,
                             std::numeric_limits<mwSize>::max()};

template <class T>
T fromBits(FuzzedDataProvider &in) {
  using Bits = std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>;
  const Bits b = in.ConsumeIntegral<Bits>();
  T x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}

// Values near every selector boundary, and special bit patterns.
const double kSelectorValues[] = {4,
                                  5,
                                  6,
                                  -1,
                                  -0.5,
                                  0.99,
                                  1.9,
                                  2.2,
                                  2.7,
                                  3.99,
                                  4.9,
                                  5.9,
                                  2147483647.0,
                                  2147483647.9,
                                  2147483648.0,
                                  -2147483648.0,
                                  -2147483648.9,
                                  -2147483649.0,
                                  3e9,
                                  1e300,
                                  0x1.8p-1060,  // subnormal
                                  std::numeric_limits<double>::signaling_NaN(),
                                  -std::numeric_limits<double>::signaling_NaN(),
                                  0.3,
                                  1.7};

// Where 1 lies in test::stressValues<T>() of doubles and of singles: a zero
// byte gives 1, a valid selector of every module.
constexpr size_t kOneInStress = 6;

// Four values shared by every input of a call: one the fuzzer picks, its
// negation, and zeros of both signs. Equal elements, and +0 against -0, then
// meet often across inputs, where max and min show which operand they return.
using Palette = std::array<double, 4>;

// One of the call's palette, or one of the values that stress the
// arithmetic of T (double or float), a selector value or raw bits.
template <class T = double>
T value(FuzzedDataProvider &in, const Palette *palette) {
  const uint8_t b = in.ConsumeIntegral<uint8_t>();
  const std::vector<T> &stress = test::stressValues<T>();
  const size_t selectors = sizeof kSelectorValues / sizeof kSelectorValues[0];
  if (palette && b < 96) return T((*palette)[b % 4]);
  if (b < 218) return stress[(b + kOneInStress) % stress.size()];
  if (b < 254) return T(kSelectorValues[(b - 218) % selectors]);
  return fromBits<T>(in);
}

bool isNumericClass(mxClassID cls) { return cls >= mxDOUBLE_CLASS && cls <= mxUINT64_CLASS; }

void fill(mxArray *a, mwSize stored, const Palette &palette, FuzzedDataProvider &in) {
  const mxClassID cls = mxGetClassID(a);
  if (cls == mxDOUBLE_CLASS) {
    double *p = mxGetPr(a);
    for (mwSize k = 0; k < stored; ++k) p[k] = value(in, &palette);
    return;
  }
  if (cls == mxSINGLE_CLASS && !mxIsComplex(a)) {
    float *p = static_cast<float *>(mxGetData(a));
    for (mwSize k = 0; k < stored; ++k) p[k] = value<float>(in, &palette);
    return;
  }
  // Cell, struct and function arrays hold no values to fill.
  if (!(mxIsNumeric(a) || mxIsChar(a) || mxIsLogical(a)) || stored == 0) return;
  unsigned char *p = static_cast<unsigned char *>(mxGetData(a));
  in.ConsumeData(p, stored * mxGetElementSize(a));
  if (cls == mxLOGICAL_CLASS)
    for (mwSize k = 0; k < stored; ++k) p[k] &= 1;
}

// A sparse array with room for `room` elements, storing as many as fit at
// consecutive linear positions from `first`: with first 0 element (0,0) is
// stored, with 1 it is not.
mxArray *makeSparse(mxClassID cls, mwSize m, mwSize n, mwSize room, mwSize first) {
  mxArray *a = cls == mxLOGICAL_CLASS ? mxCreateSparseLogicalMatrix(m, n, room)
                                      : mxCreateSparse(m, n, room, mxREAL);
  mwIndex *ir = mxGetIr(a), *jc = mxGetJc(a);
  mwSize k = 0;
  for (mwSize p = first; p < m * n && k < room; ++p, ++k) {
    ir[k] = p % m;
    for (mwSize j = p / m + 1; j <= n; ++j) jc[j] = k + 1;
  }
  return a;
}

mxArray *makeArg(mxClassID usual, const Palette &palette, FuzzedDataProvider &in) {
  const uint8_t kind = in.ConsumeIntegral<uint8_t>();
  const uint8_t flags = in.ConsumeIntegral<uint8_t>();
  const uint8_t shape = in.ConsumeIntegral<uint8_t>();
  const size_t others = sizeof kOtherClasses / sizeof kOtherClasses[0];
  const mxClassID cls = kind < 192 ? usual : kOtherClasses[kind % others];

  static const int kDimCounts[] = {2, 2, 2, 2, 0, 1, 3, 4};
  std::vector<mwSize> dims(kDimCounts[shape % 8]);
  for (mwSize &d : dims) {
    const uint8_t b = in.ConsumeIntegral<uint8_t>();
    d = b < 224 ? kSmallDims[b % 12] : kLargeDims[b % 16];
  }
  while (dims.size() < 2) dims.push_back(1);

  // No array has a column or element count beyond 64 bits: such dims become
  // two of at most 2^31, which every module rejects.
  mwSize n = 1, count;
  bool overflow = false;
  for (size_t k = 1; k < dims.size(); ++k) overflow |= __builtin_mul_overflow(n, dims[k], &n);
  overflow |= __builtin_mul_overflow(dims[0], n, &count);
  if (overflow) {
    dims.resize(2);
    for (mwSize &e : dims) e = e < kBeyondInt32 ? e : kBeyondInt32;
    n = dims[1];
    count = dims[0] * n;
  }
  const mwSize m = dims[0];
  const bool fitsInt32 = m <= INT32_MAX && n <= INT32_MAX && count <= INT32_MAX;
  const bool fitsMemory = count <= kMaxElements && m <= kMaxDim && n <= kMaxDim;
  if (fitsInt32 && !fitsMemory) dims[0] = kBeyondInt32;
  if (!fitsInt32 || !fitsMemory) return mxHostCreateShapeOnly(cls, dims.size(), dims.data());

  mxArray *a;
  mwSize stored = count;
  if (flags % 16 == 2 && (cls == mxDOUBLE_CLASS || cls == mxLOGICAL_CLASS)) {
    stored = 1 + flags / 16 % 4;
    a = makeSparse(cls, m, n, stored, flags / 64 % 2);
  } else {
    const bool complex = flags % 16 == 1 && isNumericClass(cls);
    a = mxHostCreateArray(cls, dims.size(), dims.data(), complex ? mxCOMPLEX : mxREAL);
  }
  fill(a, stored, palette, in);
  return a;
}

// The arrays made go to owned; the call refers to them.
Call decode(FuzzedDataProvider &in, const Description &t, std::vector<test::Array> &owned) {
  Call call;
  const int arity = int(t.args.size());
  const uint8_t counts = in.ConsumeIntegral<uint8_t>();
  // Most inputs of one class the module takes, so that valid calls of each
  // are common.
  const mxClassID usual = t.classes[in.ConsumeIntegral<uint8_t>() % t.classes.size()];
  // Mostly 0 or 1 outputs and the module's own number of inputs.
  call.nlhs = counts % 8 < 6 ? counts % 2 : counts % 8 - 4;
  const int nrhs = counts / 8 < 24 ? arity : counts / 8 - 24;
  const double u = value(in, nullptr);
  const Palette palette = {u, -u, 0.0, -0.0};
  for (int k = 0; k < nrhs; ++k) {
    owned.emplace_back(makeArg(usual, palette, in));
    call.args.push_back(owned.back().get());
  }
  return call;
}

// The bytes of every numeric input, to check that the call leaves them as
// they were.
std::vector<std::vector<unsigned char>> snapshot(const Call &call) {
  std::vector<std::vector<unsigned char>> bytes;
  for (const mxArray *a : call.args) {
    const void *p = mxIsNumeric(a) && !mxIsSparse(a) ? mxGetData(a) : nullptr;
    const size_t count = p ? mxGetNumberOfElements(a) * mxGetElementSize(a) : 0;
    bytes.emplace_back(count);
    if (count) std::memcpy(bytes.back().data(), p, count);
  }
  return bytes;
}

void checkOutcome(const Description &t, const Expected &want, const test::CallResult &r) {
  size_t stored = 0;
  for (const test::Array &a : r.outputs) stored += a != nullptr;
  const bool tooLarge =
      want.m * want.n > (size_t(EXACTMEX_FUZZ_ALLOCATION_LIMIT_MB) << 20) / sizeof(double);
  if (!r.ok) {
    if (stored != 0) fail("a failed call stored outputs", r.error);
    if (want.valid) {
      if (tooLarge && r.error == "Out of memory.\n") return;
      fail("a valid call failed", r.error);
    }
    for (const test::ErrorCase &e : t.errors)
      if (r.error == e.message) return;
    const std::string prefix = std::string(t.module) + ": ";
    if (r.error.rfind(prefix, 0) != 0 || r.error.back() != '\n')
      fail("an invalid call failed with a message of no known kind", r.error);
    return;
  }
  if (!want.valid) fail("an invalid call succeeded");
  if (t.checkOutputs) {
    if (const char *wrong = t.checkOutputs(r)) fail(wrong);
    return;
  }
  if (tooLarge) fail("an output beyond the allocation limit was created");
  const size_t outputs = want.second ? 2 : 1;
  for (size_t k = outputs; k < r.outputs.size(); ++k)
    if (r.outputs[k]) fail("an output was stored past the slots asked for");
  for (size_t k = 0; k < outputs; ++k) {
    const mxArray *y = r.outputs[k].get();
    if (y && (mxIsComplex(y) || mxIsSparse(y))) fail("an output is complex or sparse");
    const std::string mismatch =
        k == 0 ? test::mismatch(y, want)
               : test::firstMismatch(y, want.m, want.n, want.second(), want.element);
    if (!mismatch.empty()) fail("an output differs from the scalar definition", mismatch);
  }
}

const test::Module &module() {
  static const test::Module mod(target().module);
  return mod;
}

void callAndCheck(const Description &t, const Call &call) {
  const Expected want = t.expect(call);
  checkOutcome(t, want, module().call(call.nlhs, call.args));
}

}  // namespace
}  // namespace fuzz

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz::module();  // loaded before fuzzing starts, so its coverage counts from the first input
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const test::Description &t = fuzz::target();
  const int codeArg = t.operationArg();
  const size_t live = mxHostLiveArrays();
  {
    FuzzedDataProvider in(data, size);
    std::vector<test::Array> owned;
    const fuzz::Call call = fuzz::decode(in, t, owned);
    const std::vector<std::vector<unsigned char>> before = fuzz::snapshot(call);
    fuzz::callAndCheck(t, call);
    // A valid call is made again with every code, so that each input the
    // fuzzer finds reaches every kernel.
    if (codeArg >= 0 && t.expect(call).valid) {
      for (int code = t.firstCode; code <= t.lastCode; ++code) {
        const test::Array selector = test::scalar(code);
        fuzz::Call again = call;
        again.args[codeArg] = selector.get();
        fuzz::callAndCheck(t, again);
      }
    }
    if (fuzz::snapshot(call) != before) fuzz::fail("an input was changed");
  }
  if (mxHostLiveArrays() != live) fuzz::fail("arrays were left behind");
  return 0;
}
