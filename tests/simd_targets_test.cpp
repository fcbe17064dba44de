// The choice of instruction-set target: what a forced target resolves to on
// machines that lack it, and that the target the tests run under is the one
// asked for (tests/CMakeLists.txt runs the suite once per target).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "simd/targets.h"

namespace {

using simd::resolve;

TEST(Targets, ForcedTargetFallsBackToTheBestTheMachineHas) {
  EXPECT_EQ(resolve("avx512", simd::kAvx512), simd::kAvx512);
  EXPECT_EQ(resolve("avx512", simd::kAvx2), simd::kAvx2);
  EXPECT_EQ(resolve("avx2", simd::kSse2), simd::kSse2);
  EXPECT_EQ(resolve("sse2", simd::kScalar), simd::kScalar);
  EXPECT_EQ(resolve("scalar", simd::kAvx512), simd::kScalar);
  EXPECT_EQ(resolve("sse2", simd::kAvx512), simd::kSse2);
  // Nothing asked, or a name no target has: the best.
  EXPECT_EQ(resolve(nullptr, simd::kAvx2), simd::kAvx2);
  for (const char *unknown : {"", "AVX2", "avx", "neon", "avx512 "})
    EXPECT_EQ(resolve(unknown, simd::kAvx2), simd::kAvx2) << unknown;
}

TEST(Targets, NamesRoundTrip) {
  for (int t = 0; t < simd::kTargetCount; ++t)
    EXPECT_EQ(resolve(simd::targetName(simd::Target(t)), simd::kAvx512), t);
}

TEST(Targets, ActiveTargetIsTheOneAskedFor) {
  const char *forced = std::getenv("EXACTMEX_TARGET");
  if (forced)
    EXPECT_STREQ(simd::targetName(simd::activeTarget()), forced);
  else
    EXPECT_EQ(simd::activeTarget(), simd::bestSupported());
}

// A run forced to a target this machine lacks would only repeat the run of
// the best target it has: every test is skipped, saying why.
class ForcedTargetCheck : public ::testing::Environment {
 public:
  void SetUp() override {
    const char *forced = std::getenv("EXACTMEX_TARGET");
    if (forced && resolve(forced, simd::kAvx512) > simd::bestSupported())
      GTEST_SKIP() << "this machine lacks the forced target " << forced;
  }
};

const ::testing::Environment *const forcedTargetCheck =
    ::testing::AddGlobalTestEnvironment(new ForcedTargetCheck);

}  // namespace
