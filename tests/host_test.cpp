// The standalone host and the gateway conventions every module relies on.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "gateway/call.h"
#include "gateway/huge_pages.h"
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
  EXPECT_EQ(mxGetElementSize(a.get()), sizeof(short));
  const short *p = static_cast<const short *>(mxGetData(a.get()));
  for (int k = 0; k < 24; ++k) EXPECT_EQ(p[k], 0);
  Array z = matrix(3, 2);
  for (double x : values(z.get())) EXPECT_EQ(bits(x), 0u);
  Array t(mxCreateLogicalScalar(true));
  EXPECT_TRUE(mxIsLogical(t.get()));
  EXPECT_EQ(mxGetScalar(t.get()), 1.0);
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

// Outputs a kernel fills are made uninitialised; a code that runs no kernel
// must still give zeros, also where the memory held an earlier result.
TEST(Host, UnmatchedCodeGivesZerosEvenInReusedMemory) {
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
// The flags of the memory mapping that holds address p ("" if none).
std::string mappingFlags(const void *p) {
  std::ifstream smaps("/proc/self/smaps");
  const uintptr_t at = reinterpret_cast<uintptr_t>(p);
  bool inside = false;
  for (std::string line; std::getline(smaps, line);) {
    uintptr_t begin, end;
    char dash;
    std::istringstream head(line);
    if (head >> std::hex >> begin >> dash >> end && dash == '-')
      inside = at >= begin && at < end;
    else if (inside && line.rfind("VmFlags:", 0) == 0)
      return line;
  }
  return "";
}

// Whether advice for huge pages shows in the flags of a mapping here: not
// where the kernel has no transparent huge pages, nor under an emulator
// (qemu) that takes the advice without passing it on.
bool hugePageAdviceShows() {
  if (!std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled").good()) return false;
  const size_t size = 4 << 20;
  void *area = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return false;
  const bool shows = madvise(area, size, MADV_HUGEPAGE) == 0 &&
                     mappingFlags(area).find(" hg") != std::string::npos;
  munmap(area, size);
  return shows;
}

constexpr const char *kNoAdvice = "advice for huge pages leaves no mark here";

TEST(Host, LargeArraysAreAdvisedForHugePages) {
  if (!hugePageAdviceShows()) GTEST_SKIP() << kNoAdvice;
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

// The advice takes exactly the whole 2 MiB pages inside a block: the kernel
// accepts the range (it refuses a misaligned one without a word) and no
// memory outside the block is advised.
TEST(Host, HugePageAdviceCoversTheWholeHugePagesInsideABlockOnly) {
  if (!hugePageAdviceShows()) GTEST_SKIP() << kNoAdvice;
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

TEST(Host, ModulesExportOnlyMexFunction) {
  ASSERT_GE(deliverables().size(), 3u);
  for (const std::string &name : deliverables()) {
    Module mod(name);  // throws unless mexFunction is found
    EXPECT_NE(mod.symbol("mexFunction"), nullptr);
    // Kernels and services, under their plain and their C++ names.
    for (const char *hidden : {"lanefuseKernels", "createGuid", "_Z15lanefuseKernelsN4simd6TargetE",
                               "_Z16crossfuseKernelsN4simd6TargetE", "_Z10createGuidP10GuidRecord"})
      EXPECT_EQ(mod.symbol(hidden), nullptr) << name << " exports " << hidden;
  }
}

}  // namespace
