#include "broadcast/crossfuse_kernels.h"

#define SIMD_BODY "broadcast/crossfuse_variants.h"
#include "simd/foreach_target.h"

SIMD_DISPATCH_BY_CLASS(CrossKernel, crossfuseKernels)
template simd::Kernels<CrossKernel<double>> crossfuseKernels(simd::Target);
template simd::Kernels<CrossKernel<float>> crossfuseKernels(simd::Target);
