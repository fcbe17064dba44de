#include "pairwise/bin_family.h"

#define SIMD_BODY "pairwise/bin_metrics.h"
#include "simd/foreach_target.h"

FAMILY_KERNELS(BinFamily, tableKernels)
