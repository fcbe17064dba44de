// libmex: runs a module's entry point as MATLAB does and turns
// mexErrMsgTxt and mexErrMsgIdAndTxt into an error the caller can read.
#include <cstdarg>
#include <map>
#include <mutex>
#include <string>

#include "call_state.h"
#include "mexhost.h"

namespace {

// The module whose call is in progress on this thread, and the exit
// function each module registered, by its entry point.
thread_local mexFunctionPtr calling = nullptr;
std::mutex exitLock;
std::map<mexFunctionPtr, void (*)(void)> exitFunctions;

// What mexCallMATLABWithTrap can call, by name.
std::mutex functionLock;
std::map<std::string, mexFunctionPtr> functions;

// A call of fn (null: the function `name` is not defined), run in a trap.
struct Entry {
  mexFunctionPtr fn;
  const char *name;
  int nlhs;
  mxArray **plhs;
  int nrhs;
  const mxArray **prhs;
};

void run(void *data) {
  const Entry *e = static_cast<const Entry *>(data);
  if (!e->fn)
    mexErrMsgIdAndTxt("MATLAB:UndefinedFunction", "Undefined function '%s' for input arguments.",
                      e->name);
  e->fn(e->nlhs, e->plhs, e->nrhs, e->prhs);
}

}  // namespace

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
  calling = fn;
  Entry entry{fn, "", nlhs, plhs, nrhs, prhs};
  const int failed = mxHostTrap(run, &entry);
  calling = nullptr;
  mxHostEndCall(failed, plhs, nslots);
  return failed;
}

// The arrays the function makes are recorded as the calling module's, so
// that the host releases them when that call ends.
mxArray *mexCallMATLABWithTrap(int nlhs, mxArray *plhs[], int nrhs, mxArray *prhs[],
                               const char *name) {
  Entry entry{nullptr, name, nlhs, plhs, nrhs, const_cast<const mxArray **>(prhs)};
  {
    std::lock_guard<std::mutex> held(functionLock);
    auto found = functions.find(name);
    if (found != functions.end()) entry.fn = found->second;
  }
  for (int k = 0; k < nlhs; ++k) plhs[k] = nullptr;
  if (mxHostTrap(run, &entry) == 0) return nullptr;
  // What the function stored before its error is of no use to the caller.
  for (int k = 0; k < nlhs; ++k) {
    mxDestroyArray(plhs[k]);
    plhs[k] = nullptr;
  }
  const mwSize one[2] = {1, 1};
  return mxHostCreateArray(mxSTRUCT_CLASS, 2, one, mxREAL);
}

void mexHostDefineFunction(const char *name, mexFunctionPtr fn) {
  std::lock_guard<std::mutex> held(functionLock);
  if (fn)
    functions[name] = fn;
  else
    functions.erase(name);
}

int mexAtExit(void (*exit_fcn)(void)) {
  if (calling) {
    std::lock_guard<std::mutex> held(exitLock);
    exitFunctions[calling] = exit_fcn;
  }
  return 0;
}

void mexHostUnload(mexFunctionPtr fn) {
  void (*exit_fcn)(void) = nullptr;
  {
    std::lock_guard<std::mutex> held(exitLock);
    auto found = exitFunctions.find(fn);
    if (found == exitFunctions.end()) return;
    exit_fcn = found->second;
    exitFunctions.erase(found);
  }
  if (exit_fcn) exit_fcn();
}

const char *mexHostLastError(void) { return mxHostLastMessage(); }
const char *mexHostLastErrorId(void) { return mxHostLastIdentifier(); }

}  // extern "C"
