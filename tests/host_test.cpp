// The standalone host: how it calls a module and the arrays it makes.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "support/arrays.h"
#include "support/mappings.h"

namespace {

using namespace test;

// A module raising an error: the caller sees the exact text and every array
// the call made is released.
TEST(Host, FailedCallReleasesItsArraysAndReportsExactText) {
  Module mod("lanefuse");
  Array X = matrix(2, 2), v = matrix(1, 1), d = scalar(1), op = scalar(1);
  const size_t live = mxHostLiveArrays();
  CallResult r = mod.call(1, {X.get(), v.get(), d.get(), op.get()});
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "The size of vector v is illegal\n");
  ASSERT_EQ(r.outputs.size(), 1u);
  EXPECT_EQ(r.outputs[0], nullptr);
  EXPECT_EQ(mxHostLiveArrays(), live);
}

TEST(Host, SuccessfulCallHandsOverOnlyItsOutput) {
  Module mod("lanefuse");
  Array X = matrix(2, 2), v = matrix(2, 1), d = scalar(1), op = scalar(1);
  const size_t live = mxHostLiveArrays();
  {
    CallResult r = mod.call(0, {X.get(), v.get(), d.get(), op.get()});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(mxHostLiveArrays(), live + 1);
  }
  EXPECT_EQ(mxHostLiveArrays(), live);
}

// A gateway that releases a temporary array of its own, then fails or not.
void releasesTemporary(int, mxArray *plhs[], int nrhs, const mxArray *[]) {
  mxDestroyArray(mxCreateDoubleMatrix(4, 4, mxREAL));
  plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
  if (nrhs > 0) mexErrMsgTxt("failed after release\n");
}

TEST(Host, ArrayReleasedDuringCallIsReleasedOnce) {
  const size_t live = mxHostLiveArrays();
  mxArray *slot = nullptr;
  ASSERT_EQ(mexHostCall(releasesTemporary, 1, &slot, 0, nullptr), 0);
  EXPECT_EQ(mxHostLiveArrays(), live + 1);
  mxDestroyArray(slot);
  const mxArray *in[1] = {nullptr};
  ASSERT_EQ(mexHostCall(releasesTemporary, 1, &slot, 1, in), 1);
  EXPECT_STREQ(mexHostLastError(), "failed after release\n");
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(mxHostLiveArrays(), live);
}

// A gateway with an object on its frame when it raises: the destructor runs
// when the error leaves by exception (MATLAB's way), not when it jumps
// (Octave's), so the tests run in the mode they say they do.
int destroyed = 0;
struct Counted {
  ~Counted() { ++destroyed; }
};
void raisesOverAnObject(int, mxArray *[], int, const mxArray *[]) {
  const Counted onTheFrame;
  mexErrMsgIdAndTxt("test:raised", "raised over %d object\n", 1);
}

TEST(Host, ErrorsLeaveTheCallInTheProcesssOwnWay) {
  destroyed = 0;
  mxArray *slot = nullptr;
  for (int call = 0; call < 3; ++call) {
    ASSERT_EQ(mexHostCall(raisesOverAnObject, 1, &slot, 0, nullptr), 1);
    EXPECT_STREQ(mexHostLastErrorId(), "test:raised");
    EXPECT_STREQ(mexHostLastError(), "raised over 1 object\n");
  }
  EXPECT_EQ(destroyed, mxHostErrorsThrow() ? 3 : 0);
}

// Functions a gateway calls through mexCallMATLABWithTrap.
void answers(int, mxArray *plhs[], int, const mxArray *[]) {
  plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
  *mxGetPr(plhs[0]) = 7;
}
void failsAfterAnOutput(int, mxArray *plhs[], int, const mxArray *[]) {
  plhs[0] = mxCreateDoubleMatrix(2, 2, mxREAL);
  mexErrMsgIdAndTxt("test:inner", "inner error");
}

// Calls a failing, an undefined and an answering function, each in a trap,
// then stores what it got and raises its own error when given an input.
void callsThroughTraps(int, mxArray *plhs[], int nrhs, const mxArray *[]) {
  mxArray *out[1] = {nullptr};
  mxArray *failed = mexCallMATLABWithTrap(1, out, 0, nullptr, "fails");
  mxArray *undefined = mexCallMATLABWithTrap(1, out, 0, nullptr, "undefined");
  const bool trapped = failed && undefined && !out[0];
  mxDestroyArray(failed);
  mxDestroyArray(undefined);
  if (mexCallMATLABWithTrap(1, out, 0, nullptr, "answers") || !out[0]) return;
  plhs[0] = mxCreateDoubleMatrix(1, 2, mxREAL);
  mxGetPr(plhs[0])[0] = trapped;
  mxGetPr(plhs[0])[1] = *mxGetPr(out[0]);
  if (nrhs > 0) mexErrMsgIdAndTxt("test:outer", "outer error");
}

// An error within a trap ends the trapped function only: the call goes on,
// and an error it raises afterwards still ends it, in either mode.
TEST(Host, TrappedErrorsReturnAndTheCallGoesOn) {
  mexHostDefineFunction("fails", failsAfterAnOutput);
  mexHostDefineFunction("answers", answers);
  const size_t live = mxHostLiveArrays();
  mxArray *slot = nullptr;
  ASSERT_EQ(mexHostCall(callsThroughTraps, 1, &slot, 0, nullptr), 0) << mexHostLastError();
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(values(slot), (std::vector<double>{1, 7}));
  EXPECT_EQ(mxHostLiveArrays(), live + 1);
  mxDestroyArray(slot);
  const mxArray *in[1] = {nullptr};
  ASSERT_EQ(mexHostCall(callsThroughTraps, 1, &slot, 1, in), 1);
  EXPECT_STREQ(mexHostLastErrorId(), "test:outer");
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(mxHostLiveArrays(), live);
  mexHostDefineFunction("fails", nullptr);
  mexHostDefineFunction("answers", nullptr);
}

// Memory from mxMalloc and mxCalloc, some freed by the gateway, the rest
// left to the host; a request of more than memory can hold (which is
// refused before anything is allocated) when asked for an error.
void allocates(int, mxArray *plhs[], int nrhs, const mxArray *[]) {
  mxFree(mxMalloc(64));
  mxMalloc(100);
  const double *zeros = static_cast<const double *>(mxCalloc(3, sizeof(double)));
  plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
  *mxGetPr(plhs[0]) = zeros[0] + zeros[1] + zeros[2];
  if (nrhs > 0) mxCalloc(SIZE_MAX / 2, 4);
}

// The call owns what it allocates, as a MEX call in MATLAB does: the host
// frees it when the call ends, also when it ends with an error, and memory
// that cannot be had ends the call with the host's error. Outside a call
// the caller owns it, and an impossible request gives null.
TEST(Host, CallMemoryIsFreedWhenTheCallEndsEitherWay) {
  const size_t blocks = mxHostLiveBlocks();
  mxArray *slot = nullptr;
  ASSERT_EQ(mexHostCall(allocates, 1, &slot, 0, nullptr), 0) << mexHostLastError();
  EXPECT_EQ(values(slot), std::vector<double>{0.0});
  mxDestroyArray(slot);
  EXPECT_EQ(mxHostLiveBlocks(), blocks);
  const mxArray *in[1] = {nullptr};
  ASSERT_EQ(mexHostCall(allocates, 1, &slot, 1, in), 1);
  EXPECT_STREQ(mexHostLastError(), "Out of memory.\n");
  EXPECT_EQ(mxHostLiveBlocks(), blocks);
  void *kept = mxMalloc(16);
  EXPECT_EQ(mxHostLiveBlocks(), blocks + 1);
  mxFree(kept);
  EXPECT_EQ(mxCalloc(SIZE_MAX / 2, 4), nullptr);
  EXPECT_EQ(mxHostLiveBlocks(), blocks);
}

TEST(Host, ArraysCarryClassDimsAndZeros) {
  const mwSize dims[3] = {2, 3, 4};
  Array a(mxHostCreateArray(mxINT16_CLASS, 3, dims, mxREAL));
  EXPECT_EQ(mxGetM(a.get()), 2u);
  EXPECT_EQ(mxGetN(a.get()), 12u);
  EXPECT_EQ(mxGetNumberOfElements(a.get()), 24u);
  EXPECT_FALSE(mxIsDouble(a.get()));
  EXPECT_TRUE(mxIsNumeric(a.get()));
  EXPECT_EQ(mxGetElementSize(a.get()), sizeof(short));
  const short *p = static_cast<const short *>(mxGetData(a.get()));
  for (int k = 0; k < 24; ++k) EXPECT_EQ(p[k], 0);
  Array z = matrix(3, 2);
  for (double x : values(z.get())) EXPECT_EQ(bits(x), 0u);
  Array t(mxCreateLogicalScalar(true));
  EXPECT_TRUE(mxIsLogical(t.get()));
  EXPECT_EQ(mxGetScalar(t.get()), 1.0);
  // Every numeric class, made as a module makes its outputs, zero-filled or
  // not, reports its class and the size of its elements.
  const std::pair<mxClassID, size_t> numeric[] = {
      {mxDOUBLE_CLASS, 8}, {mxSINGLE_CLASS, 4}, {mxINT8_CLASS, 1},  {mxUINT8_CLASS, 1},
      {mxINT16_CLASS, 2},  {mxUINT16_CLASS, 2}, {mxINT32_CLASS, 4}, {mxUINT32_CLASS, 4},
      {mxINT64_CLASS, 8},  {mxUINT64_CLASS, 8}};
  for (const auto &[cls, size] : numeric) {
    mwSize shape[2] = {2, 3};
    Array zeroed(mxCreateNumericArray(2, shape, cls, mxREAL));
    Array uninit(mxCreateUninitNumericArray(2, shape, cls, mxREAL));
    for (const Array *x : {&zeroed, &uninit}) {
      EXPECT_EQ(mxGetClassID(x->get()), cls);
      EXPECT_EQ(mxGetElementSize(x->get()), size) << cls;
      EXPECT_TRUE(mxIsNumeric(x->get())) << cls;
      EXPECT_EQ(mxIsDouble(x->get()), cls == mxDOUBLE_CLASS);
      EXPECT_NE(mxGetData(x->get()), nullptr) << cls;
    }
  }
}

// Sparse arrays store their nonzero elements column by column; mxGetScalar
// gives the first one stored, wherever it lies, as MATLAB's does.
TEST(Host, SparseArraysStoreColumnsAndScalarIsFirstNonzeroStored) {
  Array none = sparse(2, 3);
  EXPECT_TRUE(mxIsSparse(none.get()));
  EXPECT_EQ(mxGetNumberOfElements(none.get()), 6u);
  EXPECT_EQ(mxGetJc(none.get())[3], 0u);
  EXPECT_EQ(mxGetScalar(none.get()), 0.0);
  Array later = sparse(2, 3, {{1, 0, 4}, {0, 2, 5}});
  EXPECT_EQ(mxGetIr(later.get())[1], 0u);
  const mwIndex *jc = mxGetJc(later.get());
  EXPECT_EQ(std::vector<mwIndex>(jc, jc + 4), (std::vector<mwIndex>{0, 1, 1, 2}));
  EXPECT_EQ(mxGetScalar(later.get()), 4.0);
  Array storedZero = sparse(1, 2, {{0, 0, 0.0}, {0, 1, 3}});
  EXPECT_EQ(mxGetScalar(storedZero.get()), 3.0);
  Array flags(mxCreateSparseLogicalMatrix(1, 4, 0));
  EXPECT_TRUE(mxIsLogical(flags.get()) && mxIsSparse(flags.get()));
  EXPECT_EQ(mxGetIr(matrix(1, 1).get()), nullptr);
}

TEST(Host, UninitialisedArraysHaveClassShapeAndStorage) {
  Array a(mxCreateUninitNumericMatrix(3, 5, mxDOUBLE_CLASS, mxREAL));
  EXPECT_TRUE(mxIsDouble(a.get()));
  EXPECT_FALSE(mxIsComplex(a.get()));
  EXPECT_EQ(mxGetM(a.get()), 3u);
  EXPECT_EQ(mxGetN(a.get()), 5u);
  ASSERT_NE(mxGetPr(a.get()), nullptr);
  for (int k = 0; k < 15; ++k) mxGetPr(a.get())[k] = k;  // all of it is writable
  EXPECT_EQ(mxGetPr(a.get())[14], 14.0);
  Array c(mxCreateUninitNumericMatrix(2, 2, mxINT32_CLASS, mxCOMPLEX));
  EXPECT_EQ(mxGetClassID(c.get()), mxINT32_CLASS);
  EXPECT_TRUE(mxIsComplex(c.get()));
  Array e(mxCreateUninitNumericMatrix(0, 4, mxDOUBLE_CLASS, mxREAL));
  EXPECT_TRUE(mxIsEmpty(e.get()));
  EXPECT_EQ(mxGetN(e.get()), 4u);
}

#if defined(__linux__)
TEST(Host, LargeArraysAreAdvisedForHugePages) {
  if (!hugePageAdviceShows()) GTEST_SKIP() << kNoHugePageAdvice;
  const mwSize m = 1024, n = 2048;  // 16 MiB
  Array zeroed(mxCreateDoubleMatrix(m, n, mxREAL));
  Array uninit(mxCreateUninitNumericMatrix(m, n, mxDOUBLE_CLASS, mxREAL));
  for (const Array &a : {std::cref(zeroed), std::cref(uninit)}) {
    const double *middle = mxGetPr(a.get()) + m * n / 2;
    EXPECT_NE(mappingFlags(middle).find(" hg"), std::string::npos) << mappingFlags(middle);
  }
  Array small(mxCreateDoubleMatrix(4, 4, mxREAL));
  EXPECT_EQ(mappingFlags(mxGetPr(small.get())).find(" hg"), std::string::npos);
}
#endif

}  // namespace
