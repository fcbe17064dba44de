// Kernels of lanefuse: combine the m-by-n matrix X with the vector v, element
// by element, into Y, all of doubles or all of floats (T), each operation
// rounded to T. With d == 1 v holds one value per row (column form); with any
// other d one value per column (row form). Each kernel writes every element
// of columns [j0, j1) of Y and nothing else.
#ifndef EXACTMEX_LANEFUSE_KERNELS_H
#define EXACTMEX_LANEFUSE_KERNELS_H

#include "simd/targets.h"

template <class T>
using LaneKernel = void (*)(int32_t d, const T *X, const T *v, T *Y, int32_t m, int32_t n,
                            int32_t j0, int32_t j1);

// By opcode: copy (Y = v replicated; X is never read), add, multiply, max
// (X(i,j) when X(i,j) > p, otherwise p: ties and NaN give the vector's value
// p) and min (likewise with <). T is double or float.
template <class T>
simd::Kernels<LaneKernel<T>> lanefuseKernels(simd::Target t = simd::activeTarget());

#endif
