// The standalone host and the gateway conventions every module relies on.
#include <gtest/gtest.h>

#include "gateway/gateway.h"
#include "support/arrays.h"

namespace {

using namespace test;

TEST(Selector, TruncatesTowardZeroWithinInt32) {
  EXPECT_EQ(gateway::toSelector(2.9), 2);
  EXPECT_EQ(gateway::toSelector(-0.5), 0);
  EXPECT_EQ(gateway::toSelector(-2.9), -2);
  EXPECT_EQ(gateway::toSelector(2147483647.9), INT32_MAX);
  EXPECT_EQ(gateway::toSelector(-2147483648.9), INT32_MIN);
  EXPECT_EQ(gateway::toSelector(2147483648.0), gateway::kNoCode);
  EXPECT_EQ(gateway::toSelector(-2147483649.0), gateway::kNoCode);
  EXPECT_EQ(gateway::toSelector(kNaN), gateway::kNoCode);
  EXPECT_EQ(gateway::toSelector(kInf), gateway::kNoCode);
  EXPECT_EQ(gateway::toSelector(-kInf), gateway::kNoCode);
}

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

TEST(Host, ArraysCarryClassDimsAndZeros) {
  const mwSize dims[3] = {2, 3, 4};
  Array a(mxHostCreateArray(mxINT16_CLASS, 3, dims, mxREAL));
  EXPECT_EQ(mxGetM(a.get()), 2u);
  EXPECT_EQ(mxGetN(a.get()), 12u);
  EXPECT_EQ(mxGetNumberOfElements(a.get()), 24u);
  EXPECT_FALSE(mxIsDouble(a.get()));
  EXPECT_TRUE(mxIsNumeric(a.get()));
  const short *p = static_cast<const short *>(mxGetData(a.get()));
  for (int k = 0; k < 24; ++k) EXPECT_EQ(p[k], 0);
  Array z = matrix(3, 2);
  for (double x : values(z.get())) EXPECT_EQ(bits(x), 0u);
  Array t(mxCreateLogicalScalar(true));
  EXPECT_TRUE(mxIsLogical(t.get()));
  EXPECT_EQ(mxGetScalar(t.get()), 1.0);
}

TEST(Host, ModulesExportOnlyMexFunction) {
  ASSERT_GE(deliverables().size(), 3u);
  for (const std::string &name : deliverables()) {
    Module mod(name);  // throws unless mexFunction is found
    EXPECT_NE(mod.symbol("mexFunction"), nullptr);
    // Kernels and services, under their plain and their C++ names.
    for (const char *hidden : {"laneAdd", "crossSum", "createGuid", "_Z6laneAddiPKdS0_Pdii",
                               "_Z8crossSumPKdS0_S0_Pdii", "_Z10createGuidP10GuidRecord"})
      EXPECT_EQ(mod.symbol(hidden), nullptr) << name << " exports " << hidden;
  }
}

}  // namespace
