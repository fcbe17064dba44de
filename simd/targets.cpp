#include "simd/targets.h"

#include <cstdlib>
#include <cstring>

#if SIMD_BUILT_x86_64_wide && defined(_MSC_VER)
#include <intrin.h>
#elif SIMD_BUILT_x86_64_wide
#include <cpuid.h>
#endif

namespace simd {

namespace {

#define SIMD_NAME_STRING_IF_BUILT(name, on, isa) SIMD_IF_BUILT(on, #name)
const char *const kNames[] = {SIMD_TARGETS(SIMD_NAME_STRING_IF_BUILT)};

#if SIMD_BUILT_x86_64_wide
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

// Whether the CPU and the OS run AVX2 (and with it AVX-512F and AVX-512BW:
// the byte kernels' 512-bit instructions, on every AVX-512 CPU but the Xeon
// Phi).
struct X86Features {
  bool avx2, avx512;
};

X86Features x86Features() {
  const unsigned ecx1 = cpuid(1, 0).r[2];
  const bool osxsave = ecx1 & (1u << 27), avx = ecx1 & (1u << 28);
  if (!osxsave || !avx) return {false, false};
  const unsigned long long states = enabledStates();
  const unsigned long long ymm = 0x6;   // SSE and AVX state
  const unsigned long long zmm = 0xe0;  // opmask, upper ZMM0-15, ZMM16-31
  if ((states & ymm) != ymm) return {false, false};
  const unsigned ebx7 = cpuid(7, 0).r[1];
  const bool avx2 = ebx7 & (1u << 5), avx512f = ebx7 & (1u << 16), avx512bw = ebx7 & (1u << 30);
  return {avx2, avx2 && avx512f && avx512bw && (states & zmm) == zmm};
}
#endif

// Whether this CPU and its OS run target t. A target that switches no
// instructions on runs wherever it is built.
bool runs(Target t) {
#if SIMD_BUILT_x86_64_wide
  static const X86Features x86 = x86Features();
  if (t == Target::avx2) return x86.avx2;
  if (t == Target::avx512) return x86.avx512;
#endif
  (void)t;
  return true;
}

}  // namespace

const char *targetName(Target t) {
  const int32_t k = static_cast<int32_t>(t);
  return k >= 0 && k < kTargetCount ? kNames[k] : "unknown";
}

Target bestSupported() {
  int32_t best = kTargetCount - 1;
  while (best > 0 && !runs(Target(best))) --best;
  return Target(best);
}

Target resolve(const char *requested, Target best) {
  if (!requested) return best;
  for (int32_t t = 0; t < kTargetCount; ++t)
    if (std::strcmp(requested, kNames[t]) == 0) return Target(t) < best ? Target(t) : best;
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
