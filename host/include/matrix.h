/* Standalone matrix interface: the subset of the MATLAB matrix API that our
 * modules and tests use, with the same names, types and meanings, and the
 * same binary names. */
#ifndef EXACTMEX_HOST_MATRIX_H
#define EXACTMEX_HOST_MATRIX_H

#include <stdbool.h>
#include <stddef.h>

#if defined(_WIN32)
#if defined(EXACTMEX_BUILDING_HOST)
#define MX_API __declspec(dllexport)
#else
#define MX_API __declspec(dllimport)
#endif
#else
#define MX_API __attribute__((visibility("default")))
#endif

/* MATLAB's libmx exports each function that takes or returns sizes as
 * mwSize under the versioned name its matrix.h maps the plain name to, one
 * per API. These are the names of the separate-complex API with 64-bit sizes
 * (MATLAB's mex -largeArrayDims or -R2017b), the API every module built here
 * targets; the other functions keep their plain names. A module built with
 * these headers imports only names MATLAB's libmx exports, and our libmx
 * exports these, not the plain ones (docs/matlab-binary-interface.md). */
#define mxGetNumberOfDimensions mxGetNumberOfDimensions_730
#define mxGetDimensions mxGetDimensions_730
#define mxGetIr mxGetIr_730
#define mxGetJc mxGetJc_730
#define mxCreateNumericArray mxCreateNumericArray_730
#define mxCreateNumericMatrix mxCreateNumericMatrix_730
#define mxCreateDoubleMatrix mxCreateDoubleMatrix_730
#define mxCreateSparse mxCreateSparse_730
#define mxCreateSparseLogicalMatrix mxCreateSparseLogicalMatrix_730

#ifdef __cplusplus
extern "C" {
#endif

typedef struct mxArray_tag mxArray;
typedef size_t mwSize;
typedef size_t mwIndex;
typedef bool mxLogical;
typedef unsigned short mxChar;

/* Class ids keep MATLAB's numeric values. */
typedef enum {
  mxUNKNOWN_CLASS = 0,
  mxCELL_CLASS,
  mxSTRUCT_CLASS,
  mxLOGICAL_CLASS,
  mxCHAR_CLASS,
  mxVOID_CLASS,
  mxDOUBLE_CLASS,
  mxSINGLE_CLASS,
  mxINT8_CLASS,
  mxUINT8_CLASS,
  mxINT16_CLASS,
  mxUINT16_CLASS,
  mxINT32_CLASS,
  mxUINT32_CLASS,
  mxINT64_CLASS,
  mxUINT64_CLASS,
  mxFUNCTION_CLASS
} mxClassID;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

MX_API mwSize mxGetM(const mxArray *a);
MX_API mwSize mxGetN(const mxArray *a);
MX_API mwSize mxGetNumberOfElements(const mxArray *a);
MX_API mwSize mxGetNumberOfDimensions(const mxArray *a);
MX_API const mwSize *mxGetDimensions(const mxArray *a);
MX_API double *mxGetPr(const mxArray *a);
MX_API void *mxGetData(const mxArray *a);
/* The first element as a double; for a sparse array, the first nonzero
 * stored element, 0 when there is none. */
MX_API double mxGetScalar(const mxArray *a);
MX_API size_t mxGetElementSize(const mxArray *a);

MX_API mxClassID mxGetClassID(const mxArray *a);
MX_API bool mxIsDouble(const mxArray *a);
MX_API bool mxIsComplex(const mxArray *a);
MX_API bool mxIsSparse(const mxArray *a);
MX_API bool mxIsNumeric(const mxArray *a);
MX_API bool mxIsLogical(const mxArray *a);
MX_API bool mxIsChar(const mxArray *a);
MX_API bool mxIsEmpty(const mxArray *a);

MX_API mxArray *mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity c);
MX_API mxArray *mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID cls, mxComplexity c);
/* Like mxCreateNumericMatrix, but the elements are left uninitialised, for a
 * caller that writes every one of them. */
MX_API mxArray *mxCreateUninitNumericMatrix(mwSize m, mwSize n, mxClassID cls, mxComplexity c);
MX_API mxArray *mxCreateNumericArray(mwSize ndim, const mwSize *dims, mxClassID cls,
                                     mxComplexity c);
/* The same, uninitialised. MATLAB declares dims non-const here (it only
 * reads them), so callers that pass a const array must cast as for MATLAB. */
MX_API mxArray *mxCreateUninitNumericArray(mwSize ndim, mwSize *dims, mxClassID cls,
                                           mxComplexity c);
MX_API mxArray *mxCreateLogicalScalar(mxLogical value);
/* Sparse arrays in compressed columns: the row indices (mxGetIr) and values
 * of the stored elements, column by column, and for each column j the index
 * of its first stored element, jc[j], with jc[n] the number stored
 * (mxGetJc). Made with room for nzmax elements (at least 1) and none
 * stored. */
MX_API mxArray *mxCreateSparse(mwSize m, mwSize n, mwSize nzmax, mxComplexity c);
MX_API mxArray *mxCreateSparseLogicalMatrix(mwSize m, mwSize n, mwSize nzmax);
MX_API mwIndex *mxGetIr(const mxArray *a);
MX_API mwIndex *mxGetJc(const mxArray *a);
MX_API void mxDestroyArray(mxArray *a);

/* Memory of n bytes (mxCalloc: of n elements of size bytes, zero-filled).
 * Made during a call, it belongs to the call: the host frees it when the
 * call ends, however it ends, unless mxFree freed it before. In a call,
 * memory that cannot be had raises the host's out-of-memory error, as
 * MATLAB does in a MEX file; outside one, the result is null. */
MX_API void *mxMalloc(size_t n);
MX_API void *mxCalloc(size_t n, size_t size);
MX_API void mxFree(void *p);

#ifdef __cplusplus
}
#endif

#endif
