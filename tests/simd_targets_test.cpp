// The choice of instruction-set target: what a forced target resolves to on
// machines that lack it, and that the target the tests run under is the one
// asked for (tests/CMakeLists.txt runs the suite once per target).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "simd/targets.h"

namespace {

using simd::resolve;
using simd::Target;

TEST(Targets, ForcedTargetFallsBackToTheBestTheMachineHas) {
  for (int32_t asked = 0; asked < simd::kTargetCount; ++asked)
    for (int32_t best = 0; best < simd::kTargetCount; ++best)
      EXPECT_EQ(resolve(simd::targetName(Target(asked)), Target(best)),
                Target(asked < best ? asked : best))
          << simd::targetName(Target(asked)) << " on " << simd::targetName(Target(best));
  const Target best = Target(simd::kTargetCount - 1);
  // Nothing asked, a name no target has, or one built for another
  // architecture only: the best.
  EXPECT_EQ(resolve(nullptr, best), best);
  for (const char *unknown : {"", "AVX2", "avx", "scalar ", "sse"})
    EXPECT_EQ(resolve(unknown, best), best) << unknown;
#define SIMD_ELSEWHERE(name, on, isa)                         \
  if (!SIMD_BUILT_##on) {                                     \
    EXPECT_EQ(resolve(#name, Target(0)), Target(0)) << #name; \
  }
  SIMD_TARGETS(SIMD_ELSEWHERE)
}

TEST(Targets, NamesRoundTrip) {
  for (int32_t t = 0; t < simd::kTargetCount; ++t)
    EXPECT_EQ(resolve(simd::targetName(Target(t)), Target(simd::kTargetCount - 1)), Target(t));
  EXPECT_STREQ(simd::targetName(Target(0)), "scalar");
}

// CMake reads the same list (cmake/Targets.cmake) to run the tests once per
// target and to check the instructions of each.
TEST(Targets, BuildReadsTheTargetsBuiltHere) {
  std::string built;
  for (int32_t t = 0; t < simd::kTargetCount; ++t)
    built += std::string(t > 0 ? "," : "") + simd::targetName(Target(t));
  EXPECT_EQ(built, EXACTMEX_LISTED_TARGETS);
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
    if (forced && resolve(forced, Target(simd::kTargetCount - 1)) > simd::bestSupported())
      GTEST_SKIP() << "this machine lacks the forced target " << forced;
  }
};

const ::testing::Environment *const forcedTargetCheck =
    ::testing::AddGlobalTestEnvironment(new ForcedTargetCheck);

}  // namespace
