// The variants of the SIMD_SLOT-th target built here, when there is one:
// SIMD_BODY in namespace simd_NAME (SIMD_NAMESPACE), after the target's
// vector operations, with its instruction set switched on. Included by
// simd/foreach_target.h once per slot: no include guard.
#if SIMD_SLOT < SIMD_BUILT_COUNT
#define SIMD_TARGET SIMD_NTH(SIMD_SLOT, SIMD_TARGETS(SIMD_NAME_IF_BUILT))
#define SIMD_TARGET_ISA SIMD_NTH(SIMD_SLOT, SIMD_TARGETS(SIMD_ISA_IF_BUILT))
#define SIMD_NAMESPACE SIMD_CAT(simd_, SIMD_TARGET)
// The baseline's code needs no switch; undefined names count as 0 here.
#define SIMD_BASELINE_none 1
#if !SIMD_CAT(SIMD_BASELINE_, SIMD_TARGET_ISA)
SIMD_BEGIN_TARGET(SIMD_STR(SIMD_TARGET_ISA))
#endif

#include "simd/vec.h"
#include SIMD_BODY

#if !SIMD_CAT(SIMD_BASELINE_, SIMD_TARGET_ISA)
SIMD_END_TARGET()
#endif
#undef SIMD_TARGET
#undef SIMD_TARGET_ISA
#undef SIMD_NAMESPACE
#undef SIMD_BASELINE_none
#endif
#undef SIMD_SLOT
