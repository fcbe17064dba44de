#include "broadcast/lanefuse_kernels.h"

#define SIMD_BODY "broadcast/lanefuse_variants.h"
#include "simd/foreach_target.h"

SIMD_DISPATCH_BY_CLASS(LaneKernel, lanefuseKernels)
template simd::Kernels<LaneKernel<double>> lanefuseKernels(simd::Target);
template simd::Kernels<LaneKernel<float>> lanefuseKernels(simd::Target);
