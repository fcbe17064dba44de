#include "pairwise/bindist_kernels.h"

#define SIMD_BODY "pairwise/bindist_variants.h"
#include "simd/foreach_target.h"

SIMD_DISPATCH(BinKernel, bindistKernels)
