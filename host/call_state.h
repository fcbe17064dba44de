/* Per-thread state of the call in progress, shared by libmx (which tracks the
 * arrays a call creates) and libmex (which starts calls and raises errors). */
#ifndef EXACTMEX_HOST_CALL_STATE_H
#define EXACTMEX_HOST_CALL_STATE_H

#include <csetjmp>
#include <cstdarg>

#include "matrix.h"

extern "C" {

/* Where mexErrMsgTxt jumps to: the frame of the mexHostCall in progress. */
MX_API std::jmp_buf *mxHostJumpTarget(void);

/* Starts recording the arrays created on this thread. */
MX_API void mxHostBeginCall(void);

/* Stops recording. On success arrays held in slots[0..nslots) are handed to
 * the caller and the other recorded ones released; on failure every recorded
 * array is released and the slots cleared. */
MX_API void mxHostEndCall(int failed, mxArray **slots, int nslots);

/* Records the identifier and the message and jumps back to mexHostCall. */
[[noreturn]] MX_API void mxHostRaise(const char *identifier, const char *message);
/* The same in two steps, for a printf-style message: the arguments are
 * released between them, before the jump. */
MX_API void mxHostRecordError(const char *identifier, const char *format, va_list args);
[[noreturn]] MX_API void mxHostRaiseRecorded(void);
MX_API const char *mxHostLastMessage(void);
MX_API const char *mxHostLastIdentifier(void);
}

#endif
