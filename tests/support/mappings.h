// What the kernel says of this process's memory mappings (Linux): whether a
// block was advised for transparent huge pages.
#ifndef EXACTMEX_TESTS_MAPPINGS_H
#define EXACTMEX_TESTS_MAPPINGS_H

#if defined(__linux__)
#include <sys/mman.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace test {

// The flags of the memory mapping that holds address p ("" if none).
inline std::string mappingFlags(const void *p) {
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
inline bool hugePageAdviceShows() {
  if (!std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled").good()) return false;
  const size_t size = 4 << 20;
  void *area = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return false;
  const bool shows = madvise(area, size, MADV_HUGEPAGE) == 0 &&
                     mappingFlags(area).find(" hg") != std::string::npos;
  munmap(area, size);
  return shows;
}

constexpr const char *kNoHugePageAdvice = "advice for huge pages leaves no mark here";

}  // namespace test
#endif

#endif
