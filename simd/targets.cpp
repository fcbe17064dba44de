#include "simd/targets.h"

#include <cstdlib>
#include <cstring>

#if SIMD_WIDE && defined(_MSC_VER)
#include <intrin.h>
#elif SIMD_WIDE
#include <cpuid.h>
#endif

namespace simd {

namespace {

const char *const kNames[kTargetCount] = {"scalar", "sse2", "avx2", "avx512"};

#if SIMD_WIDE
// cpuid leaf (and subleaf): registers eax, ebx, ecx, edx; all zero when the
// CPU has no such leaf.
struct CpuidRegs {
  unsigned r[4];
};

CpuidRegs cpuid(unsigned leaf, unsigned subleaf) {
  CpuidRegs q = {{0, 0, 0, 0}};
#if defined(_MSC_VER)
  int max[4], regs[4];
  __cpuid(max, 0);
  if (static_cast<unsigned>(max[0]) < leaf) return q;
  __cpuidex(regs, static_cast<int>(leaf), static_cast<int>(subleaf));
  for (int k = 0; k < 4; ++k) q.r[k] = static_cast<unsigned>(regs[k]);
#else
  if (!__get_cpuid_count(leaf, subleaf, &q.r[0], &q.r[1], &q.r[2], &q.r[3])) q = CpuidRegs{};
#endif
  return q;
}

// Which register states the OS saves on a context switch (XCR0). A CPU may
// have AVX while the OS leaves the upper halves of its registers unsaved, so
// the instructions are usable only when both agree.
unsigned long long enabledStates() {
#if defined(_MSC_VER)
  return _xgetbv(0);
#else
  unsigned lo, hi;
  __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
  return (static_cast<unsigned long long>(hi) << 32) | lo;
#endif
}

Target detect() {
  const unsigned ecx1 = cpuid(1, 0).r[2];
  const bool osxsave = ecx1 & (1u << 27), avx = ecx1 & (1u << 28);
  if (!osxsave || !avx) return kSse2;
  const unsigned long long states = enabledStates();
  const unsigned long long ymm = 0x6;   // SSE and AVX state
  const unsigned long long zmm = 0xe0;  // opmask, upper ZMM0-15, ZMM16-31
  if ((states & ymm) != ymm) return kSse2;
  const unsigned ebx7 = cpuid(7, 0).r[1];
  const bool avx2 = ebx7 & (1u << 5), avx512f = ebx7 & (1u << 16);
  if (!avx2) return kSse2;
  if (avx512f && (states & zmm) == zmm) return kAvx512;
  return kAvx2;
}
#endif

}  // namespace

const char *targetName(Target t) { return t >= 0 && t < kTargetCount ? kNames[t] : "unknown"; }

Target bestSupported() {
#if SIMD_WIDE
  return detect();
#elif SIMD_WIDE
  return kSse2;  // part of the x86-64 baseline
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
