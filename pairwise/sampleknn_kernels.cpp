#include "pairwise/sample_family.h"

#define SIMD_BODY "pairwise/sample_metrics.h"
#include "simd/foreach_target.h"

FAMILY_KERNELS(SampleFamily, nearestKernels)
