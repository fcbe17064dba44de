// Builds a module's kernels once per target built here (simd/targets.h), in
// one translation unit, and the table that picks them by target. The
// instruction sets are switched on here, in the source, around each target's
// code, not by compiler flags: the one compile command that builds a module
// builds all its variants, and all other code stays at the baseline.
//
// A module's kernels (pairwise/sampledist_* shows each part):
//   *_kernels.h    the kernels' signature and the function that gives their
//                  table: simd::Kernels<Kernel> NAMEKernels(simd::Target t =
//                  simd::activeTarget());
//   *_variants.h   the kernels, written in the vector operations of
//                  simd/vec.h, ending in their table
//                    constexpr Kernel kernels[] = {...};
//                  in the order of the codes that select them; included once
//                  per target in namespace SIMD_NAMESPACE, so no include guard
//   *_kernels.cpp  #define SIMD_BODY "folder/*_variants.h", include this
//                  file, then SIMD_DISPATCH(Kernel, NAMEKernels)
//   modules.txt    simd/targets.cpp among the module's sources
// The modules of a pairwise family have their kernels from the family's
// definition instead: their *_kernels.cpp name its metrics as SIMD_BODY and
// end in FAMILY_KERNELS (pairwise/family.h).
// Kernels written once for doubles and floats are templates over the element
// type T (broadcast/lanefuse_* shows them): the signature Kernel<T>, the
// function NAMEKernels<T> and the table kernels<T>; the *_kernels.cpp then
// says SIMD_DISPATCH_BY_CLASS(Kernel, NAMEKernels) and instantiates
// NAMEKernels<double> and NAMEKernels<float>.
#include "simd/targets.h"

#if SIMD_BUILT_COUNT > 6
#error "simd/foreach_target.h builds at most 6 targets per architecture"
#endif

// Code generation for instruction set isa ("avx2", ...) from here to
// SIMD_END_TARGET(), for GCC and Clang; MSVC compiles any intrinsic anywhere.
#define SIMD_PRAGMA(x) _Pragma(#x)
#if defined(__clang__)
#define SIMD_BEGIN_TARGET(isa) \
  SIMD_PRAGMA(clang attribute push(__attribute__((target(isa))), apply_to = function))
#define SIMD_END_TARGET() SIMD_PRAGMA(clang attribute pop)
#elif defined(__GNUC__)
#define SIMD_BEGIN_TARGET(isa) SIMD_PRAGMA(GCC push_options) SIMD_PRAGMA(GCC target(isa))
#define SIMD_END_TARGET() SIMD_PRAGMA(GCC pop_options)
#else
#define SIMD_BEGIN_TARGET(isa)
#define SIMD_END_TARGET()
#endif

// Entry k of a list that ends in a comma. SIMD_EXPAND makes MSVC's
// traditional preprocessor split the list into arguments.
#define SIMD_EXPAND(x) x
#define SIMD_NTH(k, ...) SIMD_EXPAND(SIMD_CAT(SIMD_ARG_, k)(__VA_ARGS__))
#define SIMD_ARG_0(a, ...) a
#define SIMD_ARG_1(a, b, ...) b
#define SIMD_ARG_2(a, b, c, ...) c
#define SIMD_ARG_3(a, b, c, d, ...) d
#define SIMD_ARG_4(a, b, c, d, e, ...) e
#define SIMD_ARG_5(a, b, c, d, e, f, ...) f

#define SIMD_SLOT 0
#include "simd/target_slot.h"
#define SIMD_SLOT 1
#include "simd/target_slot.h"
#define SIMD_SLOT 2
#include "simd/target_slot.h"
#define SIMD_SLOT 3
#include "simd/target_slot.h"
#define SIMD_SLOT 4
#include "simd/target_slot.h"
#define SIMD_SLOT 5
#include "simd/target_slot.h"

// Kernels fn(t): the table `kernels` of target t's variants.
#define SIMD_TABLE_IF_BUILT(name, on, isa) SIMD_IF_BUILT(on, simd_##name::kernels)
#define SIMD_DISPATCH(Kernel, fn)                                                          \
  simd::Kernels<Kernel> fn(simd::Target t) {                                               \
    static constexpr simd::Kernels<Kernel> tables[] = {SIMD_TARGETS(SIMD_TABLE_IF_BUILT)}; \
    return tables[static_cast<int32_t>(t)];                                                \
  }

// The same for kernels written once for several element types T (double,
// float): Kernels<Kernel<T>> fn<T>(t), the table `kernels<T>` of target t's
// variants, made for each T by an explicit instantiation of fn<T>.
#define SIMD_CLASS_TABLE_IF_BUILT(name, on, isa) SIMD_IF_BUILT(on, simd_##name::kernels<T>)
#define SIMD_DISPATCH_BY_CLASS(Kernel, fn)                 \
  template <class T>                                       \
  simd::Kernels<Kernel<T>> fn(simd::Target t) {            \
    static constexpr simd::Kernels<Kernel<T>> tables[] = { \
        SIMD_TARGETS(SIMD_CLASS_TABLE_IF_BUILT)};          \
    return tables[static_cast<int32_t>(t)];                \
  }
