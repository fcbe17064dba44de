// The sample family's kernels on data of one byte an element, T = uint8_t or
// int8_t, for target t, by code (1 to 3; 0 selects none): the table and the
// nearest columns, of pairwise/family.h's signatures.
#ifndef EXACTMEX_PAIRWISE_SAMPLE_BYTES_KERNELS_H
#define EXACTMEX_PAIRWISE_SAMPLE_BYTES_KERNELS_H

#include "pairwise/family.h"

template <class T>
simd::Kernels<TableKernel<T>> sampleByteTables(simd::Target t = simd::activeTarget());
template <class T>
simd::Kernels<NearestKernel<T>> sampleByteNearest(simd::Target t = simd::activeTarget());

#endif
