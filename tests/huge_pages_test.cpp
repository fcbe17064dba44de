// Huge-page advice covers exactly the whole 2 MiB pages inside a block: the
// kernel takes it (a misaligned range is refused without a word) and no
// memory outside the block is touched.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gateway/gateway.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

#if defined(__linux__)
constexpr uintptr_t kHuge = uintptr_t(2) << 20;

struct Mapping {
  uintptr_t begin, end;
  bool huge;  // advised: "hg" among its flags
};

// This process's mappings that overlap [begin, end), from /proc/self/smaps.
std::vector<Mapping> mappingsOver(uintptr_t begin, uintptr_t end) {
  std::vector<Mapping> r;
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  Mapping m{0, 0, false};
  while (std::getline(smaps, line)) {
    unsigned long long b = 0, e = 0;
    char dash = 0;
    std::istringstream head(line);
    if (head >> std::hex >> b >> dash >> e && dash == '-') {
      m = {uintptr_t(b), uintptr_t(e), false};
    } else if (line.rfind("VmFlags:", 0) == 0) {
      m.huge = line.find(" hg") != std::string::npos;
      if (m.begin < end && m.end > begin) r.push_back(m);
    }
  }
  return r;
}

// Whether every byte of [begin, end) lies in mappings advised (or not) as wanted.
bool all(uintptr_t begin, uintptr_t end, bool huge) {
  uintptr_t covered = begin;
  for (const Mapping &m : mappingsOver(begin, end)) {
    if (m.huge != huge || m.begin > covered) return false;
    covered = m.end;
  }
  return covered >= end;
}

bool hugePagesOffered() {
  return std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled").good();
}

TEST(HugePages, AdviceCoversTheWholeHugePagesInsideTheBlockOnly) {
  if (!hugePagesOffered()) GTEST_SKIP() << "no transparent huge pages here";
  const size_t mapped = 24 << 20;
  void *area = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(area, MAP_FAILED);
  const uintptr_t base = reinterpret_cast<uintptr_t>(area);
  const uintptr_t boundary = (base + kHuge - 1) & ~(kHuge - 1);  // the first one in the area

  // A block shorter than a huge page, across a boundary, gets no advice.
  gateway::adviseHugePages(reinterpret_cast<void *>(boundary + kHuge / 2), kHuge - 16);
  EXPECT_TRUE(all(base, base + mapped, false));

  // A block starting and ending inside huge pages: only those between.
  const uintptr_t p = boundary + 3 * 4096 + 8, bytes = 8 * kHuge + 100;
  const uintptr_t begin = boundary + kHuge, end = boundary + 8 * kHuge;
  gateway::adviseHugePages(reinterpret_cast<void *>(p), bytes);
  EXPECT_TRUE(all(begin, end, true));
  EXPECT_TRUE(all(base, begin, false));
  EXPECT_TRUE(all(end, base + mapped, false));
  munmap(area, mapped);
}
#else
TEST(HugePages, AdviceCoversTheWholeHugePagesInsideTheBlockOnly) {
  GTEST_SKIP() << "huge-page advice is for Linux";
}
#endif

}  // namespace
