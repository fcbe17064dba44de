#include "broadcast/lanefuse_kernels.h"

#define SIMD_BODY "broadcast/lanefuse_variants.h"
#include "simd/foreach_target.h"

SIMD_DISPATCH(LaneKernel, lanefuseKernels)
