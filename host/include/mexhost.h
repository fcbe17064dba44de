/* The host side of the standalone interface: what a test or benchmark needs
 * to call a module the way MATLAB does, and to build inputs of every kind
 * MATLAB can hand over. Modules never include this. */
#ifndef EXACTMEX_HOST_MEXHOST_H
#define EXACTMEX_HOST_MEXHOST_H

#include "mex.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*mexFunctionPtr)(int, mxArray *[], int, const mxArray *[]);

/* Calls fn as MATLAB would. plhs must hold at least max(nlhs, 1) slots; they
 * are cleared first. Returns 0 when the call ends normally: arrays it created
 * and did not store in a slot are released. Returns 1 when it raised an error:
 * every array it created is released, every slot is cleared and
 * mexHostLastError() holds the message exactly as raised, and
 * mexHostLastErrorId() its identifier ("" when raised without one). */
MEX_API int mexHostCall(mexFunctionPtr fn, int nlhs, mxArray *plhs[], int nrhs,
                        const mxArray *prhs[]);
MEX_API const char *mexHostLastError(void);
MEX_API const char *mexHostLastErrorId(void);

/* Runs and forgets the exit function that calls of fn registered with
 * mexAtExit, as MATLAB does when it clears a MEX file: call it before
 * unloading the module fn belongs to. */
MEX_API void mexHostUnload(mexFunctionPtr fn);

/* Makes `name` a function mexCallMATLABWithTrap answers, by calling fn as a
 * MEX function with the same arguments (null: no longer defined). Calling a
 * name not defined returns MATLAB's error for an undefined function. */
MEX_API void mexHostDefineFunction(const char *name, mexFunctionPtr fn);

/* 1 when an error leaves a call as a C++ exception, as in MATLAB; 0 when by
 * longjmp, as in older Octave (EXACTMEX_HOST_ERRORS=jump, and the default
 * on 32-bit Windows). */
MX_API int mxHostErrorsThrow(void);

/* Arrays created and not yet destroyed, and blocks of mxMalloc and mxCalloc
 * not yet freed, to check that nothing leaks. */
MX_API size_t mxHostLiveArrays(void);
MX_API size_t mxHostLiveBlocks(void);

/* A zero-filled array of any class, complexity and shape. Cell and struct
 * arrays hold empty (null) elements. */
MX_API mxArray *mxHostCreateArray(mxClassID cls, mwSize ndim, const mwSize *dims, mxComplexity c);

/* An array that reports these dims but owns no data (mxGetPr gives null):
 * lets tests present shapes far larger than memory. */
MX_API mxArray *mxHostCreateShapeOnly(mxClassID cls, mwSize ndim, const mwSize *dims);

#ifdef __cplusplus
}
#endif

#endif
