#include "broadcast/crossfuse_kernels.h"

#define SIMD_BODY "broadcast/crossfuse_variants.h"
#include "simd/foreach_target.h"

SIMD_DISPATCH(CrossKernel, crossfuseKernels)
