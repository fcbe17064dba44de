#include "pairwise/meshapply_kernels.h"

#define SIMD_BODY "pairwise/meshapply_variants.h"
#include "simd/foreach_target.h"

SIMD_DISPATCH(MeshKernel, meshapplyKernels)
