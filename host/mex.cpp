// libmex: runs a module's entry point as MATLAB does and turns
// mexErrMsgTxt and mexErrMsgIdAndTxt into an error the caller can read.
#include <csetjmp>
#include <cstdarg>

#include "call_state.h"
#include "mexhost.h"

extern "C" {

void mexErrMsgTxt(const char *message) { mxHostRaise("", message); }

void mexErrMsgIdAndTxt(const char *identifier, const char *format, ...) {
  va_list args;
  va_start(args, format);
  mxHostRecordError(identifier, format, args);
  va_end(args);
  mxHostRaiseRecorded();
}

int mexHostCall(mexFunctionPtr fn, int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  // MATLAB always provides the first output slot, also for nlhs == 0.
  const int nslots = nlhs > 1 ? nlhs : 1;
  for (int k = 0; k < nslots; ++k) plhs[k] = nullptr;
  mxHostBeginCall();
  // No local of this frame changes between setjmp and longjmp, so none needs
  // to be volatile.
  if (setjmp(*mxHostJumpTarget()) != 0) {
    mxHostEndCall(1, plhs, nslots);
    return 1;
  }
  fn(nlhs, plhs, nrhs, prhs);
  mxHostEndCall(0, plhs, nslots);
  return 0;
}

const char *mexHostLastError(void) { return mxHostLastMessage(); }
const char *mexHostLastErrorId(void) { return mxHostLastIdentifier(); }

}  // extern "C"
