#include "pairwise/sampleknn_kernels.h"

#define SIMD_BODY "pairwise/sampleknn_variants.h"
#include "simd/foreach_target.h"

SIMD_DISPATCH(SampleKnnKernel, sampleknnKernels)
