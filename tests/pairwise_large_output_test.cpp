// Every target's pairwise kernels fill outputs of more than 2^31 elements,
// in blocks as the gateways run them, without a 32-bit offset
// wrapping. The output is one 12 MiB block mapped
// again and again over the whole range, so element k lands in slot
// k % kSlots and the test needs no more memory than the block; the 16 GiB
// below the output and a guard above it are left inaccessible, so a wrapped
// offset faults.
//
// Writing 16 GiB through 4 KiB pages costs a page walk per page, about half
// a minute per kernel on a virtual machine; through 2 MiB pages, a second or
// two. On Linux the block comes from the huge pages reserved for explicit use
// (vm.nr_hugepages: tools/test.sh reserves a few while it runs, as root) and
// from ordinary pages when there are none.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "support/sanitizers.h"

// Not under AddressSanitizer, whose shadow of the output would take 2 GiB.
#if UINTPTR_MAX > 0xffffffffu && !defined(EXACTMEX_ASAN)
#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#define EXACTMEX_ALIASED_OUTPUT 1
#elif defined(_WIN32)
#include <windows.h>
#define EXACTMEX_ALIASED_OUTPUT 1
#endif
#endif

#include "pairwise/meshapply_kernels.h"
#include "support/arrays.h"
#include "support/families.h"
#include "support/variants.h"

namespace {

using test::bits;

// Above 2^31 elements, with operands of ordinary size.
constexpr int32_t kRows = 65536, kCols = 32769;
constexpr uint64_t kCount = uint64_t(kRows) * kCols;
static_assert(kCount > (uint64_t(1) << 31), "the output must pass 2^31 elements");
// Kernels run over blocks as the gateways cut them: the first block's columns
// end 2^31 elements in, where an offset counted in 32 bits would wrap; the
// rest is cut in two blocks of rows, the second starting past that point.
constexpr int32_t kSplit = 32768, kRowSplit = kRows / 2 + 64;
static_assert(uint64_t(kSplit) * kRows == uint64_t(1) << 31, "the split is at 2^31 elements");

// kernel(i0, i1, j0, j1) over those three blocks.
template <class Kernel>
void inThreeBlocks(Kernel kernel) {
  kernel(0, kRows, 0, kSplit);
  kernel(0, kRowSplit, kSplit, kCols);
  kernel(kRowSplit, kRows, kSplit, kCols);
}

#ifdef EXACTMEX_ALIASED_OUTPUT
constexpr size_t kHugePage = size_t(2) << 20;
constexpr size_t kBlockBytes = 6 * kHugePage;  // not a power of two: wraps do not alias
constexpr size_t kSlots = kBlockBytes / sizeof(double);
constexpr size_t kBelow = size_t(1) << 34;  // int32 offsets reach 2^31 elements down
constexpr size_t kGuard = kHugePage;

class AliasedOutput {
 public:
  AliasedOutput();
  ~AliasedOutput();
  AliasedOutput(const AliasedOutput &) = delete;
  AliasedOutput &operator=(const AliasedOutput &) = delete;

  double *data() const { return data_; }
  bool hugePages() const { return huge_; }

 private:
  static constexpr size_t kBlocks = (kCount * sizeof(double) + kBlockBytes - 1) / kBlockBytes;
  // Room to start the output at a huge-page boundary.
  static constexpr size_t kSize = kBelow + kBlocks * kBlockBytes + kGuard + kHugePage;
  char *reserved_ = nullptr;
  double *data_ = nullptr;
  bool huge_ = false;
#if defined(_WIN32)
  HANDLE section_ = nullptr;
  std::vector<void *> views_;
#else
  int fd_ = -1;
  bool mapBlocks(char *out, int flags);
#endif
};

#if defined(_WIN32)
// Windows has no way to map a view over reserved pages: the range is found by
// reserving it, released, and taken again piece by piece, with the part below
// the output and the guard reserved inaccessible as before.
AliasedOutput::AliasedOutput() {
  section_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                static_cast<DWORD>(kBlockBytes), nullptr);
  char *base = static_cast<char *>(VirtualAlloc(nullptr, kSize, MEM_RESERVE, PAGE_NOACCESS));
  if (!section_ || !base) return;
  VirtualFree(base, 0, MEM_RELEASE);
  char *out = base + kBelow, *guard = out + kBlocks * kBlockBytes;
  if (VirtualAlloc(base, kBelow, MEM_RESERVE, PAGE_NOACCESS) != base) return;
  reserved_ = base;
  for (size_t b = 0; b < kBlocks; ++b) {
    void *at = out + b * kBlockBytes;
    void *view = MapViewOfFileEx(section_, FILE_MAP_WRITE, 0, 0, kBlockBytes, at);
    if (view) views_.push_back(view);
    if (view != at) return;
  }
  if (VirtualAlloc(guard, kGuard, MEM_RESERVE, PAGE_NOACCESS) != guard) return;
  data_ = reinterpret_cast<double *>(out);
}

AliasedOutput::~AliasedOutput() {
  if (data_) VirtualFree(reinterpret_cast<char *>(data_) + kBlocks * kBlockBytes, 0, MEM_RELEASE);
  for (void *view : views_) UnmapViewOfFile(view);
  if (reserved_) VirtualFree(reserved_, 0, MEM_RELEASE);
  if (section_) CloseHandle(section_);
}
#else
AliasedOutput::AliasedOutput() {
  void *r = mmap(nullptr, kSize, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (r == MAP_FAILED) return;
  reserved_ = static_cast<char *>(r);
  const uintptr_t aligned = (reinterpret_cast<uintptr_t>(r) + kHugePage - 1) & ~(kHugePage - 1);
  char *out = reinterpret_cast<char *>(aligned) + kBelow;
  huge_ = mapBlocks(out, MFD_HUGETLB);
  if (huge_ || mapBlocks(out, 0)) data_ = reinterpret_cast<double *>(out);
}

bool AliasedOutput::mapBlocks(char *out, int flags) {
  if (fd_ >= 0) close(fd_);
  fd_ = memfd_create("aliased-output", flags);
  if (fd_ < 0 || ftruncate(fd_, kBlockBytes) != 0) return false;
  for (size_t b = 0; b < kBlocks; ++b)
    if (mmap(out + b * kBlockBytes, kBlockBytes, PROT_READ | PROT_WRITE,
             MAP_SHARED | MAP_FIXED | MAP_POPULATE, fd_, 0) == MAP_FAILED)
      return false;
  return true;
}

AliasedOutput::~AliasedOutput() {
  if (reserved_) munmap(reserved_, kSize);
  if (fd_ >= 0) close(fd_);
}
#endif
#endif

// Runs fill over an output of kCount elements once per target and checks
// that each slot holds the last element written to it, element(i, j) at
// k = i + j * kRows.
void expectEveryElementInPlace(const std::function<void(simd::Target, double *)> &fill,
                               const std::function<double(int32_t, int32_t)> &element) {
#if defined(EXACTMEX_ALIASED_OUTPUT)
  AliasedOutput out;
  ASSERT_NE(out.data(), nullptr) << "cannot map the aliased output";
  if (!out.hugePages())
    std::printf("no huge pages reserved: the output is mapped in 4 KiB pages\n");
  for (simd::Target t : test::runnableTargets()) {
    fill(t, out.data());
    for (size_t p = 0; p < kSlots; ++p) {
      const uint64_t k = p + (kCount - 1 - p) / kSlots * kSlots;
      const double want = element(int32_t(k % kRows), int32_t(k / kRows));
      ASSERT_EQ(bits(out.data()[p]), bits(want)) << simd::targetName(t) << ", element " << k;
    }
  }
#else
  (void)fill;
  (void)element;
  GTEST_SKIP() << "needs a 64-bit address space, and no AddressSanitizer";
#endif
}

TEST(PairwiseLargeOutput, MeshapplyAddressesPast2To31) {
  std::vector<double> x(kRows), y(kCols);
  for (int32_t i = 0; i < kRows; ++i) x[i] = i;
  for (int32_t j = 0; j < kCols; ++j) y[j] = double(j) * kRows;
  expectEveryElementInPlace(
      [&](simd::Target t, double *Y) {
        const MeshKernel<double> kernel = meshapplyKernels<double>(t).at(1);
        inThreeBlocks([&](int32_t i0, int32_t i1, int32_t j0, int32_t j1) {
          kernel(x.data(), y.data(), Y, kRows, kCols, i0, i1, j0, j1);
        });
      },
      [](int32_t i, int32_t j) { return i + double(j) * kRows; });
}

// Each family's first metric on one row, chosen so that every element
// says where it belongs: |i - (-j * kRows)|, and 1 - (-i) / (1 + j) with
// each column of B summing to its only value.
TEST(PairwiseLargeOutput, FamiliesAddressPast2To31) {
  for (const test::FamilyKernels &f : test::families()) {
    std::vector<double> A(kRows), B(kCols);
    for (int32_t i = 0; i < kRows; ++i) A[i] = f.histograms ? -double(i) : i;
    for (int32_t j = 0; j < kCols; ++j) B[j] = f.histograms ? 1.0 + j : -double(j) * kRows;
    expectEveryElementInPlace(
        [&](simd::Target t, double *D) {
          const TableKernel<double> kernel = f.tables(t).at(1);
          inThreeBlocks([&](int32_t i0, int32_t i1, int32_t j0, int32_t j1) {
            kernel({A.data(), B.data(), kRows, kCols, 1, B.data()}, D, {i0, i1, j0, j1});
          });
        },
        [&](int32_t i, int32_t j) { return f.element(1, &A[i], &B[j], 1); });
    if (HasFatalFailure()) return;
  }
}

}  // namespace
