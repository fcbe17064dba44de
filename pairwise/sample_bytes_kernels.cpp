#include "pairwise/sample_bytes_kernels.h"

#define SIMD_BODY "pairwise/sample_bytes_variants.h"
#include "simd/foreach_target.h"

#define SAMPLE_BYTE_TABLES_IF_BUILT(name, on, isa) SIMD_IF_BUILT(on, simd_##name::kByteTables<T>)
#define SAMPLE_BYTE_NEAREST_IF_BUILT(name, on, isa) SIMD_IF_BUILT(on, simd_##name::kByteNearest<T>)

template <class T>
simd::Kernels<TableKernel<T>> sampleByteTables(simd::Target t) {
  static constexpr simd::Kernels<TableKernel<T>> tables[] = {
      SIMD_TARGETS(SAMPLE_BYTE_TABLES_IF_BUILT)};
  return tables[static_cast<int32_t>(t)];
}

template <class T>
simd::Kernels<NearestKernel<T>> sampleByteNearest(simd::Target t) {
  static constexpr simd::Kernels<NearestKernel<T>> tables[] = {
      SIMD_TARGETS(SAMPLE_BYTE_NEAREST_IF_BUILT)};
  return tables[static_cast<int32_t>(t)];
}

template simd::Kernels<TableKernel<uint8_t>> sampleByteTables<uint8_t>(simd::Target);
template simd::Kernels<TableKernel<int8_t>> sampleByteTables<int8_t>(simd::Target);
template simd::Kernels<NearestKernel<uint8_t>> sampleByteNearest<uint8_t>(simd::Target);
template simd::Kernels<NearestKernel<int8_t>> sampleByteNearest<int8_t>(simd::Target);
