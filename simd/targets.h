// The instruction-set targets kernels are built for, and the one this process
// runs: the best the CPU and the operating system support, or the one named by
// the environment variable EXACTMEX_TARGET when the machine has it.
#ifndef EXACTMEX_SIMD_TARGETS_H
#define EXACTMEX_SIMD_TARGETS_H

#include <cstddef>
#include <cstdint>

// Every target, one entry each: its name, where it is built, and the
// instruction set the compiler switches on around its code (none: the
// architecture's baseline). Within an architecture the order is that of
// preference, and each target runs only where those before it run. Target
// NAME's code lives in namespace simd_NAME, written in the vector operations
// of simd/vec_NAME.h; simd/targets.cpp says whether the CPU runs a target
// that switches instructions on. CMake reads this list too (cmake/Targets.cmake).
#define SIMD_TARGETS(T)            \
  T(scalar, any, none)             \
  T(sse2, x86_64, none)            \
  T(avx2, x86_64_wide, avx2)       \
  T(avx512, x86_64_wide, avx512bw) \
  T(neon, aarch64, none)

// Where a target is built: 1 or 0 for each place the list names. AVX2 and
// AVX-512 spill 32- and 64-byte registers; SIMD_NO_WIDE_TARGETS leaves them
// out, for a compiler that cannot spill them safely (modules.txt says which).
#define SIMD_BUILT_any 1
#if defined(__x86_64__) || defined(_M_X64)
#define SIMD_BUILT_x86_64 1
#else
#define SIMD_BUILT_x86_64 0
#endif
#if SIMD_BUILT_x86_64 && !defined(SIMD_NO_WIDE_TARGETS)
#define SIMD_BUILT_x86_64_wide 1
#else
#define SIMD_BUILT_x86_64_wide 0
#endif
#if defined(__aarch64__) || defined(_M_ARM64)
#define SIMD_BUILT_aarch64 1
#else
#define SIMD_BUILT_aarch64 0
#endif

#define SIMD_CAT(a, b) SIMD_CAT_(a, b)
#define SIMD_CAT_(a, b) a##b
#define SIMD_STR(x) SIMD_STR_(x)
#define SIMD_STR_(x) #x
// x followed by a comma for a target built here, nothing for another.
#define SIMD_IF_BUILT(on, x) SIMD_CAT(SIMD_KEEP_, SIMD_BUILT_##on)(x)
#define SIMD_KEEP_1(x) x,
#define SIMD_KEEP_0(x)
// Lists of the targets built here, in order, each entry followed by a comma.
#define SIMD_NAME_IF_BUILT(name, on, isa) SIMD_IF_BUILT(on, name)
#define SIMD_ISA_IF_BUILT(name, on, isa) SIMD_IF_BUILT(on, isa)
#define SIMD_COUNT_IF_BUILT(name, on, isa) +SIMD_BUILT_##on
#define SIMD_BUILT_COUNT (0 SIMD_TARGETS(SIMD_COUNT_IF_BUILT))

#if defined(_MSC_VER) && !defined(__clang__)
#define SIMD_NOINLINE __declspec(noinline)
#else
#define SIMD_NOINLINE __attribute__((noinline))
#endif

namespace simd {

// Bytes of a cache line on the machines every target runs on (x86-64, and
// arm64 cores as far as our stores and threads are concerned): streaming
// stores go to memory a whole line at a time, and two threads writing one
// line fight over it.
constexpr size_t kLineBytes = 64;

// Blocks of a table's rows (gateway/output_blocks.h) are a multiple of this
// many rows: of a cache line's doubles, and of the panel of columns every
// target's pair tile takes at once (simd/pair_tile.h checks), so that no
// block edge cuts a panel short.
constexpr int32_t kBlockRowStep = 64;

// Blocks of columns are a multiple of this many once they hold as many: of
// the columns every kernel takes at once, a pair tile's and a sweep's group
// (simd/pair_tile.h and simd/sweep.h check), so that only the last block
// ends in a short group.
constexpr int32_t kBlockColumnStep = 24;

// The targets built here, in the list's order; the first is the portable one.
enum class Target : int32_t { SIMD_TARGETS(SIMD_NAME_IF_BUILT) };
constexpr int32_t kTargetCount = SIMD_BUILT_COUNT;

const char *targetName(Target t);

// The best target built here that the CPU and OS can run.
Target bestSupported();

// The target to run when `requested` (a target name, or null when nothing is
// asked for) meets a machine whose best is `best`: the requested one if it is
// built here and no better than best, otherwise best.
Target resolve(const char *requested, Target best);

// The target every kernel of this module runs, fixed at its first call.
Target activeTarget();

// The kernels of one module built for one target, indexed by the code that
// selects them in the module's gateway: a null entry, or a code past either
// end, selects none.
template <class Kernel>
struct Kernels {
  const Kernel *list;
  int32_t count;

  template <int32_t N>
  constexpr Kernels(const Kernel (&kernels)[N]) : list(kernels), count(N) {}
  Kernel at(int32_t code) const { return code >= 0 && code < count ? list[code] : nullptr; }
};

}  // namespace simd

#endif
