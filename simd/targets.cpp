#include "simd/targets.h"

#include <cstdlib>
#include <cstring>

#if defined(EXACTMEX_X86_VARIANTS)
#include <cpuid.h>
#endif

namespace simd {

namespace {

const char *const kNames[kTargetCount] = {"scalar", "sse2", "avx2", "avx512"};

#if defined(EXACTMEX_X86_VARIANTS)
// Which register states the OS saves on a context switch (XCR0). A CPU may
// have AVX while the OS leaves the upper halves of its registers unsaved, so
// the instructions are usable only when both agree.
unsigned long long enabledStates() {
  unsigned lo, hi;
  __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
  return (static_cast<unsigned long long>(hi) << 32) | lo;
}

Target detect() {
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return kSse2;
  const bool osxsave = c & (1u << 27), avx = c & (1u << 28);
  if (!osxsave || !avx) return kSse2;
  const unsigned long long states = enabledStates();
  const unsigned long long ymm = 0x6;   // SSE and AVX state
  const unsigned long long zmm = 0xe0;  // opmask, upper ZMM0-15, ZMM16-31
  if ((states & ymm) != ymm || !__get_cpuid_count(7, 0, &a, &b, &c, &d)) return kSse2;
  const bool avx2 = b & (1u << 5), avx512f = b & (1u << 16);
  if (!avx2) return kSse2;
  if (avx512f && (states & zmm) == zmm) return kAvx512;
  return kAvx2;
}
#endif

}  // namespace

const char *targetName(Target t) { return t >= 0 && t < kTargetCount ? kNames[t] : "unknown"; }

Target bestSupported() {
#if defined(EXACTMEX_X86_VARIANTS)
  return detect();
#else
  return kScalar;
#endif
}

Target resolve(const char *requested, Target best) {
  if (!requested) return best;
  for (int t = 0; t < kTargetCount; ++t)
    if (std::strcmp(requested, kNames[t]) == 0) return t < best ? Target(t) : best;
  return best;
}

// Detection asks the CPU (cpuid, which traps to the hypervisor on a virtual
// machine: about 10 us measured here) and reads the environment, so it runs
// once, at the first call, into a constant local to this function. The result
// depends only on the machine and the environment the process started with.
Target activeTarget() {
  static const Target active = resolve(std::getenv("EXACTMEX_TARGET"), bestSupported());
  return active;
}

}  // namespace simd
