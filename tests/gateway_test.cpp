// The conventions every module's gateway shares: selector codes, outputs
// without a kernel, huge-page advice, the one exported entry point and how
// a module finds MATLAB.
#include <gtest/gtest.h>

#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "gateway/call.h"
#include "gateway/huge_pages.h"
#include "modules/description.h"
#include "support/mappings.h"
#include "support/threads.h"

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
// (in a module whose model takes any code) must still give zeros, also
// where the memory held an earlier result.
TEST(Gateway, UnmatchedCodeGivesZerosEvenInReusedMemory) {
  size_t checked = 0;
  for (const Description &s : descriptions()) {
    const int op = s.operationArg();
    if (op < 0) continue;
    const std::vector<Array> filled = s.validArgs(true, 7.0);
    std::vector<Array> none = s.validArgs(true, 7.0);
    none[op] = scalar(9);
    const Expected want = s.expect(Call{1, pointers(none)});
    if (!want.valid) continue;
    Module mod(s.module);
    for (int round = 0; round < 3; ++round) {
      CallResult r = mod.call(1, pointers(filled));
      ASSERT_TRUE(r.ok) << r.error;
      r.outputs.clear();  // its memory is free for the next output
      r = mod.call(1, pointers(none));
      ASSERT_TRUE(r.ok) << r.error;
      EXPECT_EQ(firstMismatch(r.outputs[0].get(), want.m, want.n,
                              std::vector<double>(want.m * want.n, 0.0)),
                "")
          << s.module;
    }
    ++checked;
  }
  EXPECT_GT(checked, 0u);
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

// The stand-in for MATLAB's libut (tests/fakes), loaded by this program
// where the libraries that need it see it and the process's global scope
// does not, as a library that loaded it would: a long call finds it and
// stops at Ctrl-C, and holds no reference to it once the call has ended.
#if defined(_WIN32)
void *openLibut() { return LoadLibraryA(EXACTMEX_LIBUT); }
void *symbolOf(void *lib, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(lib), name));
}
void closeLibut(void *lib) { FreeLibrary(static_cast<HMODULE>(lib)); }
bool libutLoaded() { return GetModuleHandleA("libut.dll") != nullptr; }
#else
void *openLibut() { return dlopen(EXACTMEX_LIBUT, RTLD_NOW | RTLD_LOCAL); }
void *symbolOf(void *lib, const char *name) { return dlsym(lib, name); }
void closeLibut(void *lib) { dlclose(lib); }
bool libutLoaded() {
  void *again = dlopen(EXACTMEX_LIBUT, RTLD_NOW | RTLD_NOLOAD);
  if (again) dlclose(again);
  return again != nullptr;
}
#endif

TEST(Gateway, LibutOutsideTheGlobalScopeIsFoundAndNotKept) {
  const size_t d = 100, N1 = 500, N2 = 16000;
  const Array H1 = matrix(d, N1, std::vector<double>(d * N1, 1.0));
  const Array H2 = matrix(d, N2, std::vector<double>(d * N2, 2.0));
  const Array mcode = scalar(2), k = scalar(3);
  ThreadsVariable threads("1");
  Module binknn("binknn");
  void *ut = openLibut();
  ASSERT_NE(ut, nullptr) << EXACTMEX_LIBUT;
  const auto interruptAt =
      reinterpret_cast<void (*)(long, bool)>(symbolOf(ut, "fakeUtInterruptAt"));
  const auto polls = reinterpret_cast<long (*)(void)>(symbolOf(ut, "fakeUtPolls"));
  if (interruptAt && polls) {
    interruptAt(2, false);
    CallResult r = binknn.call(2, {H1.get(), H2.get(), mcode.get(), k.get()});
    EXPECT_EQ(r.identifier, "exactmex:binknn:interrupted") << r.error;
    EXPECT_EQ(polls(), 2);
  }
  closeLibut(ut);
  ASSERT_TRUE(interruptAt && polls);
  EXPECT_FALSE(libutLoaded()) << "a module kept libut loaded";
  CallResult r = binknn.call(2, {H1.get(), H1.get(), mcode.get(), k.get()});
  EXPECT_TRUE(r.ok) << r.error;
}

}  // namespace
