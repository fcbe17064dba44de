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
 * it stores in plhs. Returns 0; an error the function raises ends the
 * calling module's call, as mexErrMsgTxt does. The outputs belong to the
 * call: the host releases them when the call ends. */
MEX_API int mexCallMATLAB(int nlhs, mxArray *plhs[], int nrhs, mxArray *prhs[], const char *name);

/* Registers the function to call before the calling module is unloaded,
 * replacing any it registered before. Returns 0. */
MEX_API int mexAtExit(void (*exit_fcn)(void));

#ifdef __cplusplus
}
#endif

#endif
