/* Per-thread state of the call in progress, shared by libmx (which tracks
 * what a call creates and raises its errors) and libmex (which starts calls
 * and the functions they call). */
#ifndef EXACTMEX_HOST_CALL_STATE_H
#define EXACTMEX_HOST_CALL_STATE_H

#include <cstdarg>

#include "matrix.h"

extern "C" {

/* Starts recording the arrays and memory (mxMalloc) created on this thread. */
MX_API void mxHostBeginCall(void);

/* Stops recording. On success arrays held in slots[0..nslots) are handed to
 * the caller and the other recorded ones released; on failure every recorded
 * array is released and the slots cleared. Recorded memory (mxMalloc) is
 * freed either way. */
MX_API void mxHostEndCall(int failed, mxArray **slots, int nslots);

/* Runs body(data) and returns 0, or 1 once an error raised within it has
 * left body, in the process's way of leaving (mxHostErrorsThrow); the
 * error's identifier and message are then recorded. Traps nest: an error
 * ends the innermost one. */
MX_API int mxHostTrap(void (*body)(void *), void *data);

/* Records the identifier and the message and leaves for the innermost trap. */
[[noreturn]] MX_API void mxHostRaise(const char *identifier, const char *message);
/* The same in two steps, for a printf-style message: the arguments are
 * released between them, before leaving. */
MX_API void mxHostRecordError(const char *identifier, const char *format, va_list args);
[[noreturn]] MX_API void mxHostRaiseRecorded(void);
MX_API const char *mxHostLastMessage(void);
MX_API const char *mxHostLastIdentifier(void);
}

#endif
