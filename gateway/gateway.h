// Conventions every module's gateway shares: how the entry point is exported,
// how selector codes and sizes are read, how inputs are validated and how the
// output is made. Validation errors name the function and the argument; they
// come before any data of the argument is read.
#ifndef EXACTMEX_GATEWAY_H
#define EXACTMEX_GATEWAY_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "gateway/compiler_check.h"
#include "mex.h"

#if defined(_WIN32)
#define MEX_ENTRY extern "C" __declspec(dllexport)
#else
#define MEX_ENTRY extern "C" __attribute__((visibility("default")))
#endif

namespace gateway {

// Value that no selector code uses: NaN, empty and out-of-range selectors.
constexpr int32_t kNoCode = INT32_MIN;

// Rows, columns and element count of a matrix input, narrowed to 32 bits.
struct Shape {
  int32_t rows;
  int32_t cols;
  int32_t count;
};

// Truncates toward zero. NaN and values outside the int32 range give kNoCode.
inline int32_t toSelector(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return kNoCode;
  return static_cast<int32_t>(value);
}

// Raises "<fn>: <arg> <what>\n". Octave puts "<fn>: " before every message
// itself, so there the text starts at the argument. The text lives on the
// stack: nothing is left allocated when the host abandons the call.
[[noreturn]] inline void fail(const char *fn, const char *arg, const char *what) {
  char message[256];
#if defined(HAVE_OCTAVE)
  (void)fn;
  std::snprintf(message, sizeof message, "%s %s\n", arg, what);
#else
  std::snprintf(message, sizeof message, "%s: %s %s\n", fn, arg, what);
#endif
  mexErrMsgTxt(message);
  std::abort();  // not reached; Octave's mex.h does not declare mexErrMsgTxt noreturn
}

inline bool exceedsInt32(mwSize n) { return n > static_cast<mwSize>(INT32_MAX); }

// Size of any array, rejected when a dimension or the element count does not
// fit the 32-bit counts the kernels use.
inline Shape readShape(const mxArray *a, const char *fn, const char *arg) {
  const mwSize m = mxGetM(a), n = mxGetN(a), count = mxGetNumberOfElements(a);
  if (exceedsInt32(m) || exceedsInt32(n) || exceedsInt32(count))
    fail(fn, arg, "has more than 2147483647 rows, columns or elements.");
  return {static_cast<int32_t>(m), static_cast<int32_t>(n), static_cast<int32_t>(count)};
}

// Size of a data input, which must be a real, full (non-sparse) double array
// since kernels read its storage as doubles.
inline Shape readMatrix(const mxArray *a, const char *fn, const char *arg) {
  if (!mxIsDouble(a) || mxIsComplex(a) || mxIsSparse(a))
    fail(fn, arg, "must be a real, full double array.");
  return readShape(a, fn, arg);
}

// The first element of a non-empty array as a double (its real part when
// complex). mxGetScalar gives it, except for a sparse array, where it gives
// the first nonzero element stored, wherever that lies: a sparse array
// stores element (0,0) only when its first column starts with a stored row
// 0, and holds 0 there otherwise. Sparse arrays are double or logical.
inline double firstElement(const mxArray *a) {
  if (!mxIsSparse(a)) return mxGetScalar(a);
  const mwIndex *ir = mxGetIr(a), *jc = mxGetJc(a);
  if (jc[1] == 0 || ir[0] != 0) return 0.0;
  if (mxIsLogical(a)) return *static_cast<const mxLogical *>(mxGetData(a)) ? 1.0 : 0.0;
  return *static_cast<const double *>(mxGetData(a));
}

// A selector code: any numeric, logical or char value, first element taken.
inline int32_t readSelector(const mxArray *a, const char *fn, const char *arg) {
  if (!mxIsNumeric(a) && !mxIsLogical(a) && !mxIsChar(a))
    fail(fn, arg, "must be a numeric, logical or char value.");
  if (mxIsEmpty(a)) return kNoCode;
  return toSelector(firstElement(a));
}

// Asks for transparent huge pages on the whole 2 MiB pages of a block not
// yet written (Linux, where the system offers them on request): its first
// write then faults once per 2 MiB instead of once per 4 KiB, a large share
// of the cost of a big output. Only the advice changes, never the contents.
inline void adviseHugePages(void *p, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  const uintptr_t huge = uintptr_t(2) << 20;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(p) + huge - 1) & ~(huge - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(huge - 1);
  if (end > begin) madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)p;
  (void)bytes;
#endif
}

// The real double output every numeric module returns, zero-filled. When the
// kernel about to run writes every element the fill is skipped: the result is
// the same, and a large output costs no extra pass over memory. Such an
// output is then advised for huge pages, since hosts that fill or advise
// nothing themselves (Octave) would otherwise fault it in 4 KiB at a time.
// A code that selects no kernel must still get zeros.
inline mxArray *createDoubles(mwSize ndim, const mwSize *dims, size_t count, bool kernelWritesAll) {
  if (!kernelWritesAll) return mxCreateNumericArray(ndim, dims, mxDOUBLE_CLASS, mxREAL);
  // MATLAB declares these dims non-const; they are only read.
  mxArray *out =
      mxCreateUninitNumericArray(ndim, const_cast<mwSize *>(dims), mxDOUBLE_CLASS, mxREAL);
  adviseHugePages(mxGetPr(out), count * sizeof(double));
  return out;
}

// Refuses an m-by-n double output whose byte count no allocation can have
// (more than PTRDIFF_MAX, which also keeps the element count within
// mwSize). Two 32-bit counts can need up to 2^65 bytes: unchecked, the
// host's size arithmetic may wrap to a small block that the kernel then
// writes far past (Octave's uninitialised arrays do). An output that passes
// may still be more than the host can give; the host then reports that.
inline void checkOutputSize(const char *fn, int32_t m, int32_t n) {
  const uint64_t count = static_cast<uint64_t>(m) * static_cast<uint64_t>(n);
  if (count <= static_cast<uint64_t>(PTRDIFF_MAX) / sizeof(double)) return;
  char what[96];
  std::snprintf(what, sizeof what, "of %d x %d elements is too large for memory.", int(m), int(n));
  fail(fn, "the output", what);
}

// An m-by-n output sized from two counts (the pairwise modules), checked
// before the host is asked for its memory.
inline mxArray *createOutput(const char *fn, int32_t m, int32_t n, bool kernelWritesAll) {
  checkOutputSize(fn, m, n);
  const mwSize dims[2] = {static_cast<mwSize>(m), static_cast<mwSize>(n)};
  return createDoubles(2, dims, size_t(dims[0]) * dims[1], kernelWritesAll);
}

// An output with the dims of x, N-D included, whose elements pair with x's
// in storage order (the broadcast modules: the size of X + v).
inline mxArray *createOutputLike(const mxArray *x, bool kernelWritesAll) {
  return createDoubles(mxGetNumberOfDimensions(x), mxGetDimensions(x), mxGetNumberOfElements(x),
                       kernelWritesAll);
}

}  // namespace gateway

#endif
