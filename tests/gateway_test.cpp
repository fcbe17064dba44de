// The conventions every module's gateway shares: selector codes, outputs
// without a kernel, huge-page advice and the one exported entry point.
#include <gtest/gtest.h>

#include <cstdint>

#include "gateway/call.h"
#include "gateway/huge_pages.h"
#include "support/arrays.h"
#include "support/mappings.h"

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

// Outputs a kernel fills are made uninitialised; a code that runs no kernel
// must still give zeros, also where the memory held an earlier result.
TEST(Gateway, UnmatchedCodeGivesZerosEvenInReusedMemory) {
  struct Case {
    const char *module;
    std::vector<Array> (*args)(double opcode);
  };
  const Case cases[] = {
      {"lanefuse",
       [](double op) {
         return arrays(matrix(6, 5, std::vector<double>(30, 7.0)),
                       matrix(6, 1, std::vector<double>(6, 1.0)), scalar(1), scalar(op));
       }},
      {"crossfuse",
       [](double op) {
         return arrays(matrix(6, 5, std::vector<double>(30, 7.0)),
                       matrix(1, 5, std::vector<double>(5, 1.0)),
                       matrix(6, 1, std::vector<double>(6, 1.0)), scalar(op));
       }},
  };
  for (const Case &c : cases) {
    Module mod(c.module);
    for (int round = 0; round < 3; ++round) {
      std::vector<Array> filled = c.args(1), none = c.args(9);
      CallResult r = mod.call(1, pointers(filled));
      ASSERT_TRUE(r.ok) << r.error;
      r.outputs.clear();  // its memory is free for the next output
      r = mod.call(1, pointers(none));
      ASSERT_TRUE(r.ok) << r.error;
      EXPECT_EQ(firstMismatch(r.outputs[0].get(), 6, 5, std::vector<double>(30, 0.0)), "")
          << c.module;
    }
  }
}

#if defined(__linux__)
// The advice takes exactly the whole 2 MiB pages inside a block: the kernel
// accepts the range (it refuses a misaligned one without a word) and no
// memory outside the block is advised.
TEST(Gateway, HugePageAdviceCoversTheWholeHugePagesInsideABlockOnly) {
  if (!hugePageAdviceShows()) GTEST_SKIP() << kNoHugePageAdvice;
  const uintptr_t huge = uintptr_t(2) << 20;
  const size_t mapped = 24 << 20;
  void *area = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(area, MAP_FAILED);
  const uintptr_t boundary = (reinterpret_cast<uintptr_t>(area) + huge - 1) & ~(huge - 1);
  const auto advised = [](uintptr_t at) {
    return mappingFlags(reinterpret_cast<const void *>(at)).find(" hg") != std::string::npos;
  };

  // Shorter than a huge page, across a boundary: no advice.
  gateway::adviseHugePages(reinterpret_cast<void *>(boundary + huge / 2), huge - 16);
  EXPECT_FALSE(advised(boundary + huge));

  // Starting and ending inside huge pages: the whole ones between.
  gateway::adviseHugePages(reinterpret_cast<void *>(boundary + 3 * 4096 + 8), 8 * huge + 100);
  EXPECT_FALSE(advised(boundary + huge - 1));
  EXPECT_TRUE(advised(boundary + huge));
  EXPECT_TRUE(advised(boundary + 8 * huge - 1));
  EXPECT_FALSE(advised(boundary + 8 * huge));
  munmap(area, mapped);
}
#endif

TEST(Gateway, ModulesExportOnlyMexFunction) {
  ASSERT_GE(deliverables().size(), 3u);
  for (const std::string &name : deliverables()) {
    Module mod(name);  // throws unless mexFunction is found
    EXPECT_NE(mod.symbol("mexFunction"), nullptr);
    // Kernels and services, under their plain and their C++ names.
    for (const char *hidden :
         {"lanefuseKernels", "createGuid",
          "_Z15lanefuseKernelsIdEN4simd7KernelsIPFviPKT_S4_PS2_iiiiEEENS0_6TargetE",
          "_Z15lanefuseKernelsIfEN4simd7KernelsIPFviPKT_S4_PS2_iiiiEEENS0_6TargetE",
          "_Z16crossfuseKernelsIdEN4simd7KernelsIPFvPKT_S4_S4_PS2_iiiiEEENS0_6TargetE",
          "_Z10createGuidP10GuidRecord"})
      EXPECT_EQ(mod.symbol(hidden), nullptr) << name << " exports " << hidden;
  }
}

}  // namespace
