// Kernels of crossfuse: Y(i,j) = (vrow(j) op X(i,j)) op vcol(i) for the
// m-by-n matrix X, all of doubles or all of floats (T), each operation
// rounded to T (the partial result too, before the second operation). Each kernel writes every
// element of columns [j0, j1) of Y and nothing else.
#ifndef EXACTMEX_CROSSFUSE_KERNELS_H
#define EXACTMEX_CROSSFUSE_KERNELS_H

#include "simd/targets.h"

template <class T>
using CrossKernel = void (*)(const T *X, const T *vrow, const T *vcol, T *Y, int32_t m, int32_t n,
                             int32_t j0, int32_t j1);

// By opcode: none (0), sum (1), product (2). T is double or float.
template <class T>
simd::Kernels<CrossKernel<T>> crossfuseKernels(simd::Target t = simd::activeTarget());

#endif
