// The pairwise kernels fill outputs of more than 2^31 elements without a
// 32-bit offset wrapping. The output is one 12 MiB block mapped again and
// again over the whole range, so element k lands in slot k % kSlots and the
// test needs no more memory than the block; the 16 GiB below the output and
// a guard above it are left inaccessible, so a wrapped offset faults.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#if UINTPTR_MAX > 0xffffffffu
#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#define EXACTMEX_ALIASED_OUTPUT 1
#elif defined(_WIN32)
#include <windows.h>
#define EXACTMEX_ALIASED_OUTPUT 1
#endif
#endif

#include "pairwise/bindist_kernels.h"
#include "pairwise/meshapply_kernels.h"
#include "pairwise/sampledist_kernels.h"
#include "support/arrays.h"

namespace {

using test::bits;

// Above 2^31 elements, with operands of ordinary size.
constexpr int32_t kRows = 65536, kCols = 32769;
constexpr uint64_t kCount = uint64_t(kRows) * kCols;
static_assert(kCount > (uint64_t(1) << 31), "the output must pass 2^31 elements");

#ifdef EXACTMEX_ALIASED_OUTPUT
constexpr size_t kBlockBytes = size_t(3) << 22;  // not a power of two: wraps do not alias
constexpr size_t kSlots = kBlockBytes / sizeof(double);
constexpr size_t kBelow = size_t(1) << 34;  // int32 offsets reach 2^31 elements down
constexpr size_t kGuard = size_t(1) << 20;

class AliasedOutput {
 public:
  AliasedOutput();
  ~AliasedOutput();
  AliasedOutput(const AliasedOutput &) = delete;
  AliasedOutput &operator=(const AliasedOutput &) = delete;

  double *data() const { return data_; }

 private:
  static constexpr size_t kBlocks = (kCount * sizeof(double) + kBlockBytes - 1) / kBlockBytes;
  static constexpr size_t kSize = kBelow + kBlocks * kBlockBytes + kGuard;
  char *reserved_ = nullptr;
  double *data_ = nullptr;
#if defined(_WIN32)
  HANDLE section_ = nullptr;
  std::vector<void *> views_;
#else
  int fd_ = -1;
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
  fd_ = memfd_create("aliased-output", 0);
  if (fd_ < 0 || ftruncate(fd_, kBlockBytes) != 0) return;
  char *out = reserved_ + kBelow;
  for (size_t b = 0; b < kBlocks; ++b)
    if (mmap(out + b * kBlockBytes, kBlockBytes, PROT_READ | PROT_WRITE,
             MAP_SHARED | MAP_FIXED | MAP_POPULATE, fd_, 0) == MAP_FAILED)
      return;
  data_ = reinterpret_cast<double *>(out);
}

AliasedOutput::~AliasedOutput() {
  if (reserved_) munmap(reserved_, kSize);
  if (fd_ >= 0) close(fd_);
}
#endif
#endif

// Runs fill over an output of kCount elements and checks that each slot
// holds the last element written to it, element(i, j) at k = i + j * kRows.
void expectEveryElementInPlace(const std::function<void(double *)> &fill,
                               const std::function<double(int32_t, int32_t)> &element) {
#ifdef EXACTMEX_ALIASED_OUTPUT
  AliasedOutput out;
  ASSERT_NE(out.data(), nullptr) << "cannot map the aliased output";
  fill(out.data());
  for (size_t p = 0; p < kSlots; ++p) {
    const uint64_t k = p + (kCount - 1 - p) / kSlots * kSlots;
    const double want = element(int32_t(k % kRows), int32_t(k / kRows));
    ASSERT_EQ(bits(out.data()[p]), bits(want)) << "element " << k;
  }
#else
  (void)fill;
  (void)element;
  GTEST_SKIP() << "needs a 64-bit address space";
#endif
}

TEST(PairwiseLargeOutput, MeshapplyAddressesPast2To31) {
  std::vector<double> x(kRows), y(kCols);
  for (int32_t i = 0; i < kRows; ++i) x[i] = i;
  for (int32_t j = 0; j < kCols; ++j) y[j] = double(j) * kRows;
  expectEveryElementInPlace(
      [&](double *Y) { meshSum(x.data(), y.data(), Y, kRows, kCols, 0, kCols); },
      [](int32_t i, int32_t j) { return i + double(j) * kRows; });
}

TEST(PairwiseLargeOutput, SampledistAddressesPast2To31) {
  std::vector<double> X1(kRows), X2(kCols);
  for (int32_t i = 0; i < kRows; ++i) X1[i] = i;
  for (int32_t j = 0; j < kCols; ++j) X2[j] = -double(j) * kRows;
  expectEveryElementInPlace(
      [&](double *D) { sumAbsDifference(X1.data(), X2.data(), D, kRows, kCols, 1, 0, kCols); },
      [](int32_t i, int32_t j) { return i + double(j) * kRows; });
}

TEST(PairwiseLargeOutput, BindistAddressesPast2To31) {
  std::vector<double> H1(kRows), H2(kCols);
  for (int32_t i = 0; i < kRows; ++i) H1[i] = -double(i);
  for (int32_t j = 0; j < kCols; ++j) H2[j] = 1.0 + j;
  expectEveryElementInPlace(
      [&](double *D) {
        double *sums = intersectionColumnSums(kCols, 1, H2.data());
        ASSERT_NE(sums, nullptr);
        intersectionDistance(kRows, kCols, 1, H1.data(), H2.data(), sums, D, 0, kCols);
        releaseColumnSums(sums);
      },
      [](int32_t i, int32_t j) { return 1.0 - (0.0 + -double(i)) / (0.0 + (1.0 + j)); });
}

}  // namespace
