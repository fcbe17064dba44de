/* Standalone MEX interface: the entry point every module exports and the
 * error calls that end it. */
#ifndef EXACTMEX_HOST_MEX_H
#define EXACTMEX_HOST_MEX_H

#include "matrix.h"

#if defined(_WIN32)
#if defined(EXACTMEX_BUILDING_HOST)
#define MEX_API __declspec(dllexport)
#else
#define MEX_API __declspec(dllimport)
#endif
#else
#define MEX_API __attribute__((visibility("default")))
#endif

/* MATLAB's mex.h gives these functions the binary names of its handle
 * objects unless MEX_DOUBLE_HANDLE is defined: its libmex exports them under
 * these names, and so does ours (docs/matlab-binary-interface.md). */
#if !defined(MEX_DOUBLE_HANDLE)
#define mexCallMATLABWithTrap mexCallMATLABWithTrapWithObject
#endif

#ifdef __cplusplus
extern "C" {
#endif

void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]);

/* Raises an error with this exact message and ends the current call: control
 * never returns to the module. */
MEX_API
#if defined(__GNUC__)
__attribute__((noreturn))
#endif
void mexErrMsgTxt(const char *message);

/* The same, with an identifier ("component:mnemonic") and a printf-style
 * message. */
MEX_API
#if defined(__GNUC__)
__attribute__((noreturn, format(printf, 2, 3)))
#endif
void mexErrMsgIdAndTxt(const char *identifier, const char *format, ...);

/* Calls the MATLAB function `name` with nrhs inputs and nlhs outputs, which
 * it stores in plhs. Returns null; an error the function raises returns
 * instead (MATLAB's MException object, here a 1-by-1 struct array standing
 * for one, for the caller to destroy) and does not end the calling module's
 * call. The outputs and the error belong to the call: the host releases them
 * when the call ends. */
MEX_API mxArray *mexCallMATLABWithTrap(int nlhs, mxArray *plhs[], int nrhs, mxArray *prhs[],
                                       const char *name);

/* Registers the function to call before the calling module is unloaded,
 * replacing any it registered before. Returns 0. */
MEX_API int mexAtExit(void (*exit_fcn)(void));

#ifdef __cplusplus
}
#endif

#endif
