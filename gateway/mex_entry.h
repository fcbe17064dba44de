// The MEX host: mexFunction over mxArray, for MATLAB, for Octave's MEX
// interface and for our standalone host. In MATLAB, between blocks of work
// the calling thread asks MATLAB whether the user pressed Ctrl-C, with
// interrupts enabled from the call's first question to its end, as MATLAB's
// own long-running functions ask; if so the call stops, releases what it
// allocated and raises exactmex:<function>:interrupted, and its outputs are
// discarded with the error. A large call in MATLAB also uses no more threads
// than MATLAB's own limit, maxNumCompThreads. Elsewhere neither question has
// an answer, and blocks run to the end of the call on as many threads as the
// module's default (gateway/in_matlab.h says how a module knows).
#ifndef EXACTMEX_GATEWAY_MEX_ENTRY_H
#define EXACTMEX_GATEWAY_MEX_ENTRY_H

#include <cstdio>
#include <cstring>

#include "gateway/call.h"
#include "gateway/huge_pages.h"
#include "gateway/in_matlab.h"
#include "mex.h"

#if defined(_WIN32)
#define MEX_ENTRY extern "C" __declspec(dllexport)
#else
#define MEX_ENTRY extern "C" __attribute__((visibility("default")))
#endif

namespace gateway {
namespace mexhost {

struct State {
  const char *fn;
  mxArray **plhs;
  const mxArray **prhs;
  // MATLAB's interrupt functions, looked up at the call's first question;
  // nulls outside MATLAB.
  bool lookedUp = false;
  MatlabInterrupts matlab{nullptr, nullptr};
  // Whether this call enabled interrupts, and whether they were before.
  bool enabled = false, wasEnabled = false;
  bool interrupted = false;
};

// Whether the call runs in MATLAB, looked up once per call and only by calls
// that ask a question: a small call costs nothing more. In MATLAB the call
// then enables interrupts: where MATLAB has them disabled while a MEX
// function runs, Ctrl-C would never reach the question.
inline bool inMatlab(State *s) {
  if (!s->lookedUp) {
    s->matlab = matlabInterrupts();
    s->lookedUp = true;
    if (s->matlab.setEnabled) {
      s->wasEnabled = s->matlab.setEnabled(true);
      s->enabled = true;
    }
  }
  return s->matlab.pending != nullptr;
}

// Puts interrupts back as the call found them, once, on every way out.
inline void restoreInterrupts(State *s) {
  if (s->enabled) s->matlab.setEnabled(s->wasEnabled);
  s->enabled = false;
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

// The class a kernel reads, of MATLAB's class id.
inline DataClass dataClassOf(mxClassID id) {
  switch (id) {
    case mxDOUBLE_CLASS: return DataClass::kDouble;
    case mxSINGLE_CLASS: return DataClass::kSingle;
    case mxINT8_CLASS: return DataClass::kInt8;
    case mxUINT8_CLASS: return DataClass::kUint8;
    case mxINT16_CLASS: return DataClass::kInt16;
    case mxUINT16_CLASS: return DataClass::kUint16;
    case mxINT32_CLASS: return DataClass::kInt32;
    case mxUINT32_CLASS: return DataClass::kUint32;
    default: return DataClass::kOther;
  }
}

inline Arg arg(void *ctx, int k) {
  const mxArray *a = static_cast<State *>(ctx)->prhs[k];
  Arg r{};
  r.cls = dataClassOf(mxGetClassID(a));
  r.isNumeric = mxIsNumeric(a);
  r.isLogical = mxIsLogical(a);
  r.isChar = mxIsChar(a);
  r.isComplex = mxIsComplex(a);
  r.isSparse = mxIsSparse(a);
  r.rows = static_cast<uint64_t>(mxGetM(a));
  r.cols = static_cast<uint64_t>(mxGetN(a));
  r.count = static_cast<uint64_t>(mxGetNumberOfElements(a));
  if (r.cls != DataClass::kOther && !r.isComplex && !r.isSparse) r.data = mxGetData(a);
  if ((r.isNumeric || r.isLogical || r.isChar) && r.count > 0) r.first = firstElement(a);
  return r;
}

// A large output is advised for huge pages before the kernel's first write:
// hosts that fill or advise nothing themselves would otherwise fault it in
// 4 KiB at a time.
inline void *numeric(void *ctx, int slot, DataClass cls, int32_t m, int32_t n, int like,
                     bool zeroed) {
  State *s = static_cast<State *>(ctx);
  const mwSize matrix[2] = {static_cast<mwSize>(m), static_cast<mwSize>(n)};
  const mwSize ndim = like >= 0 ? mxGetNumberOfDimensions(s->prhs[like]) : 2;
  const mwSize *dims = like >= 0 ? mxGetDimensions(s->prhs[like]) : matrix;
  const bool single = cls == DataClass::kSingle;
  const mxClassID id = single ? mxSINGLE_CLASS : mxDOUBLE_CLASS;
  // MATLAB declares the dims of an uninitialised array non-const; they are
  // only read.
  mxArray *out = zeroed ? mxCreateNumericArray(ndim, dims, id, mxREAL)
                        : mxCreateUninitNumericArray(ndim, const_cast<mwSize *>(dims), id, mxREAL);
  void *data = mxGetData(out);
  if (!zeroed)
    adviseHugePages(data, size_t(m) * size_t(n) * (single ? sizeof(float) : sizeof(double)));
  s->plhs[slot] = out;
  return data;
}

inline uint8_t *bytes(void *ctx, int slot, int32_t m, int32_t n) {
  mxArray *out = mxCreateNumericMatrix(m, n, mxUINT8_CLASS, mxREAL);
  static_cast<State *>(ctx)->plhs[slot] = out;
  return static_cast<uint8_t *>(mxGetData(out));
}

inline void logical(void *ctx, int slot, bool value) {
  static_cast<State *>(ctx)->plhs[slot] = mxCreateLogicalScalar(value);
}

// MATLAB frees mxMalloc's memory when the MEX call ends or raises an error,
// and raises its own out-of-memory error when the memory cannot be had;
// Octave's MEX interface does both the same way.
inline void *scratch(void *, size_t bytes) { return mxMalloc(bytes); }

// A host that leaves by longjmp runs no destructor: interrupts are restored
// before the error is raised.
inline void raise(void *ctx, const char *id, const char *message) {
  restoreInterrupts(static_cast<State *>(ctx));
#if defined(HAVE_OCTAVE)
  // Octave puts "<fn>: " before every message of a MEX function itself.
  const char *fn = static_cast<State *>(ctx)->fn;
  const size_t len = std::strlen(fn);
  if (std::strncmp(message, fn, len) == 0 && std::strncmp(message + len, ": ", 2) == 0)
    message += len + 2;
#endif
  mexErrMsgIdAndTxt(id, "%s", message);
}

// Once MATLAB says the user interrupted, the call asks nothing more.
inline bool goOn(void *ctx) {
  State *s = static_cast<State *>(ctx);
  if (!s->interrupted && inMatlab(s) && s->matlab.pending()) s->interrupted = true;
  return !s->interrupted;
}

// MATLAB's limit on computational threads (maxNumCompThreads: 1 when MATLAB
// was started with -singleCompThread, and in a parallel pool's workers by
// default); 0, no limit, outside MATLAB. Asked in a trap: should MATLAB fail
// to answer (a warning made an error, a release without the function), the
// call goes on with no limit rather than end with MATLAB's error.
inline int threadLimit(void *ctx) {
  if (!inMatlab(static_cast<State *>(ctx))) return 0;
  mxArray *answer = nullptr;
  if (mxArray *error = mexCallMATLABWithTrap(1, &answer, 0, nullptr, "maxNumCompThreads")) {
    mxDestroyArray(error);
    return 0;
  }
  if (!answer) return 0;
  // The answer is released with the call's other temporary arrays.
  const double limit = mxGetScalar(answer);
  return limit >= 1 && limit <= 1024 ? int(limit) : 0;
}

// The host calls it when it clears the module, before unloading it.
inline void atUnload(void (*release)(void)) { mexAtExit(release); }

inline constexpr Host kHost = {arg,   numeric, bytes,       logical, scratch,
                               raise, goOn,    threadLimit, atUnload};

// Restores interrupts when the call ends, normally or by an exception.
struct InterruptsRestored {
  State *s;
  ~InterruptsRestored() { restoreInterrupts(s); }
};

// An interrupted call raises its error once the gateway has returned, with
// everything it allocated for itself released: the host discards the
// outputs with the error.
inline void run(const char *fn, void (*body)(const Call &), int nlhs, mxArray *plhs[], int nrhs,
                const mxArray *prhs[]) {
  State state{fn, plhs, prhs};
  const InterruptsRestored restored{&state};
  const Call call{fn, nlhs, nrhs, &kHost, &state};
  body(call);
  if (state.interrupted) {
    char message[96];
    std::snprintf(message, sizeof message, "%s: interrupted by Ctrl-C.\n", fn);
    fail(call, "interrupted", message);
  }
}

}  // namespace mexhost
}  // namespace gateway

// The module's exported mexFunction, running its gateway function `name`.
#define EXACTMEX_ENTRY(name)                                                               \
  MEX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) { \
    gateway::mexhost::run(#name, name, nlhs, plhs, nrhs, prhs);                            \
  }

#endif
