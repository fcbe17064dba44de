#include <gtest/gtest.h>

#include <array>
#include <set>

#include "support/arrays.h"
#include "support/oracles.h"

namespace {

using namespace test;
using Bytes = std::vector<uint8_t>;

const char *kOutputs = "The number of outputs should be exactly 2";

Bytes bytesOf(const mxArray *id) {
  const uint8_t *p = static_cast<const uint8_t *>(mxGetData(id));
  return Bytes(p, p + mxGetNumberOfElements(id));
}

// ok must be a true or false logical scalar; id a uint8 row of 16 bytes when
// ok, an empty 0-by-0 uint8 array otherwise.
void expectOutputs(const CallResult &r, bool wantOk) {
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.outputs.size(), 2u);
  const mxArray *ok = r.outputs[0].get(), *id = r.outputs[1].get();
  ASSERT_TRUE(ok && id);
  EXPECT_TRUE(mxIsLogical(ok));
  EXPECT_EQ(mxGetNumberOfElements(ok), 1u);
  EXPECT_EQ(mxGetScalar(ok), wantOk ? 1.0 : 0.0);
  EXPECT_EQ(mxGetClassID(id), mxUINT8_CLASS);
  EXPECT_EQ(mxGetM(id), wantOk ? 1u : 0u);
  EXPECT_EQ(mxGetN(id), wantOk ? 16u : 0u);
}

TEST(Mintid, WorkingServiceGivesOkAndDifferentRows) {
  Module mod("mintid");
  CallResult first = mod.call(2, {}), second = mod.call(2, {});
  expectOutputs(first, true);
  expectOutputs(second, true);
  EXPECT_NE(bytesOf(first.outputs[1].get()), bytesOf(second.outputs[1].get()));
}

// Over many calls no identifier repeats, every one is a version 4 GUID with
// the RFC 4122 variant, and each of the other 122 bits takes both values.
TEST(Mintid, ManyCallsAreUniqueRandomVersion4Guids) {
  Module mod("mintid");
  std::set<Bytes> seen;
  std::array<uint8_t, 16> anyOne{}, allOnes;
  allOnes.fill(0xFF);
  const int calls = 20000;
  for (int k = 0; k < calls; ++k) {
    CallResult r = mod.call(2, {});
    ASSERT_TRUE(r.ok && mxGetNumberOfElements(r.outputs[1].get()) == 16) << r.error;
    const Bytes id = bytesOf(r.outputs[1].get());
    ASSERT_TRUE(oracle::isVersion4Guid(id.data())) << "version or variant bits, call " << k;
    for (int p = 0; p < 16; ++p) {
      anyOne[p] |= id[p];
      allOnes[p] &= id[p];
    }
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(calls));
  for (int p = 0; p < 16; ++p) {
    const uint8_t fixed = p == 7 ? 0xF0 : p == 8 ? 0xC0 : 0x00;
    EXPECT_EQ(anyOne[p] | fixed, 0xFF) << "byte " << p << " has a bit that is always 0";
    EXPECT_EQ(allOnes[p] & ~fixed, 0) << "byte " << p << " has a bit that is always 1";
  }
}

// Test builds whose service fills Data1 A1B2C3D4, Data2 E5F6, Data3 1A2B and
// Data4 10..80, then returns the status in the build's name.
TEST(Mintid, RecordBytesAreReturnedInMemoryOrder) {
  Module mod("mintid_fixed", testModuleDir());
  CallResult r = mod.call(2, {});
  expectOutputs(r, true);
  EXPECT_EQ(bytesOf(r.outputs[1].get()), (Bytes{0xD4, 0xC3, 0xB2, 0xA1, 0xF6, 0xE5, 0x2B, 0x1A,
                                                0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80}));
}

TEST(Mintid, AnyNonzeroStatusGivesNotOkAndAnEmptyUint8Id) {
  for (const char *build : {"mintid_failing_negative", "mintid_failing_positive"}) {
    SCOPED_TRACE(build);
    Module mod(build, testModuleDir());
    const size_t live = mxHostLiveArrays();
    {
      CallResult r = mod.call(2, {});
      expectOutputs(r, false);
      EXPECT_EQ(mxHostLiveArrays(), live + 2);
    }
    EXPECT_EQ(mod.error(1, {}), kOutputs);
  }
}

#if defined(__linux__)
// Test builds of our own service over a random source that serves at most 3
// bytes per call, 1, 2, ..., 16, every other call interrupted by a signal.
TEST(Mintid, OwnServiceAssemblesShortAndInterruptedReads) {
  Module mod("mintid_piecemeal_source", testModuleDir());
  CallResult r = mod.call(2, {});
  expectOutputs(r, true);
  // Version 4 in the top of Data3 (byte 7), variant 10 in the top of Data4[0].
  EXPECT_EQ(bytesOf(r.outputs[1].get()),
            (Bytes{1, 2, 3, 4, 5, 6, 7, 0x48, 0x89, 10, 11, 12, 13, 14, 15, 16}));
}

// The same source failing after 7 bytes: a partly filled record is a failure.
TEST(Mintid, OwnServiceReportsASourceFailingPartWay) {
  Module mod("mintid_failing_source", testModuleDir());
  expectOutputs(mod.call(2, {}), false);
}

// Test builds as with a C library that lacks the getrandom wrapper (glibc
// before 2.25): the system call made directly, and, on a kernel without it
// (before 3.17), /dev/urandom read instead.
TEST(Mintid, OwnServiceWorksWithoutTheGetrandomWrapperOrCall) {
  for (const char *build : {"mintid_direct_syscall", "mintid_no_getrandom"}) {
    SCOPED_TRACE(build);
    Module mod(build, testModuleDir());
    CallResult first = mod.call(2, {}), second = mod.call(2, {});
    expectOutputs(first, true);
    expectOutputs(second, true);
    if (HasFatalFailure()) return;
    const Bytes id = bytesOf(first.outputs[1].get());
    EXPECT_TRUE(oracle::isVersion4Guid(id.data()));
    EXPECT_NE(id, bytesOf(second.outputs[1].get()));
  }
}
#endif

}  // namespace
