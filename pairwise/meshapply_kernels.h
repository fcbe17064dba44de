// Kernels of meshapply: Y(i,j) = x(i) op y(j) for the m elements of x and the
// n elements of y, taken in linear order, all of doubles or all of floats
// (T), each operation rounded to T. Y is m-by-n; a kernel writes rows
// [i0, i1) of columns [j0, j1) of it, each element once.
#ifndef EXACTMEX_MESHAPPLY_KERNELS_H
#define EXACTMEX_MESHAPPLY_KERNELS_H

#include "simd/targets.h"

template <class T>
using MeshKernel = void (*)(const T *x, const T *y, T *Y, int32_t m, int32_t n, int32_t i0,
                            int32_t i1, int32_t j0, int32_t j1);

// By opcode: none (0), sum, product, |x(i) - y(j)| (the sign cleared: never
// -0), max (x(i) when x(i) > y(j), otherwise y(j): ties and NaN give y(j))
// and min (likewise with <). T is double or float.
template <class T>
simd::Kernels<MeshKernel<T>> meshapplyKernels(simd::Target t = simd::activeTarget());

#endif
