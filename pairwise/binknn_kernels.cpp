#include "pairwise/binknn_kernels.h"

#define SIMD_BODY "pairwise/binknn_variants.h"
#include "simd/foreach_target.h"

SIMD_DISPATCH(BinKnnKernel, binknnKernels)
