#include "pairwise/sampledist_kernels.h"

#define SIMD_BODY "pairwise/sampledist_variants.h"
#include "simd/foreach_target.h"

SIMD_DISPATCH(SampleKernel, sampledistKernels)
