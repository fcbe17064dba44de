// Advice for large blocks of memory about to be written for the first time.
#ifndef EXACTMEX_GATEWAY_HUGE_PAGES_H
#define EXACTMEX_GATEWAY_HUGE_PAGES_H

#include <cstddef>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace gateway {

// Asks for transparent huge pages on the whole 2 MiB pages of a block not
// yet written (Linux, where the system offers them on request): its first
// write then faults once per 2 MiB instead of once per 4 KiB, a large share
// of the cost of a big output. Only the advice changes, never the contents.
inline void adviseHugePages(void *p, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  const uintptr_t huge = uintptr_t(2) << 20;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(p) + huge - 1) & ~(huge - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(huge - 1);
  if (end > begin) madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)p;
  (void)bytes;
#endif
}

}  // namespace gateway

#endif
