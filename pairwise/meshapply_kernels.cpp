#include "pairwise/meshapply_kernels.h"

#define SIMD_BODY "pairwise/meshapply_variants.h"
#include "simd/foreach_target.h"

SIMD_DISPATCH_BY_CLASS(MeshKernel, meshapplyKernels)
template simd::Kernels<MeshKernel<double>> meshapplyKernels(simd::Target);
template simd::Kernels<MeshKernel<float>> meshapplyKernels(simd::Target);
