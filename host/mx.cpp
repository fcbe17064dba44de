// libmx: arrays of every class MATLAB hands a module, zero-filled on
// creation unless asked for uninitialised, the bookkeeping that lets a call
// be abandoned without leaks, and the two ways an error leaves a call.
#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "call_state.h"
#include "mexhost.h"

struct mxArray_tag {
  mxClassID cls;
  bool complex;
  bool sparse;
  std::vector<mwSize> dims;  // at least two
  size_t elementSize;
  mwSize stored;  // elements backed by data: numel, or nzmax when sparse
  void *re;       // null when nothing is stored or the array is shape-only
  void *im;
  std::vector<mwIndex> ir, jc;  // sparse only: nzmax row indices, n + 1 column starts
};

namespace {

struct CallState {
  bool active = false;
  std::vector<mxArray *> created;
  std::vector<void *> blocks;      // mxMalloc's and mxCalloc's
  int traps = 0;                   // traps in progress
  std::jmp_buf *target = nullptr;  // the innermost one's, when errors jump
  std::string identifier;
  std::string message;
};

thread_local CallState callState;
thread_local size_t liveArrays = 0, liveBlocks = 0;

// What an error leaving by exception throws: a class of the host's own,
// which a module can only catch with catch (...), as MATLAB's.
struct HostError {};

// MATLAB leaves an erroring call by a C++ exception, which runs the
// destructors of the module's frames on its way (so does Octave 7's MEX
// interface); older Octave left by longjmp, which runs none. A module must
// be right either way, so the tests run in both: EXACTMEX_HOST_ERRORS=jump
// chooses longjmp for the whole process, "throw" MATLAB's way.
//
// Unset, MATLAB's way, except on 32-bit Windows: there GCC unwinds with
// tables that each DLL registers with its own copy of the GCC runtime, so
// an exception thrown here cannot see a module's frames; MATLAB's own
// (Microsoft C++) exceptions pass such frames as longjmp does.
#if defined(_WIN32) && !defined(_WIN64)
constexpr bool kThrowsUnlessTold = false;
#else
constexpr bool kThrowsUnlessTold = true;
#endif

bool readErrorsThrow() {
  const char *mode = std::getenv("EXACTMEX_HOST_ERRORS");
  if (!mode || !*mode) return kThrowsUnlessTold;
  if (std::strcmp(mode, "throw") == 0) return true;
  if (std::strcmp(mode, "jump") == 0) return false;
  // A misspelt mode would run every test in the other one unnoticed.
  std::fprintf(stderr, "EXACTMEX_HOST_ERRORS is '%s': it must be throw or jump\n", mode);
  std::abort();
}

bool errorsThrow() {
  static const bool throws = readErrorsThrow();
  return throws;
}

int trapByException(void (*body)(void *), void *data) {
  try {
    body(data);
  } catch (const HostError &) {
    return 1;
  }
  return 0;
}

// No local of this frame changes between setjmp and longjmp, so none needs
// to be volatile.
int trapByJump(void (*body)(void *), void *data) {
  std::jmp_buf here;
  std::jmp_buf *const outer = callState.target;
  callState.target = &here;
  if (setjmp(here) != 0) {
    callState.target = outer;
    return 1;
  }
  body(data);
  callState.target = outer;
  return 0;
}

size_t elementSize(mxClassID cls) {
  switch (cls) {
    case mxDOUBLE_CLASS:
    case mxINT64_CLASS:
    case mxUINT64_CLASS: return 8;
    case mxSINGLE_CLASS:
    case mxINT32_CLASS:
    case mxUINT32_CLASS: return 4;
    case mxINT16_CLASS:
    case mxUINT16_CLASS:
    case mxCHAR_CLASS: return 2;
    case mxINT8_CLASS:
    case mxUINT8_CLASS:
    case mxLOGICAL_CLASS: return 1;
    case mxCELL_CLASS:
    case mxSTRUCT_CLASS: return sizeof(void *);
    default: return 0;
  }
}

mwSize product(const std::vector<mwSize> &dims, size_t from) {
  mwSize n = 1;
  for (size_t k = from; k < dims.size(); ++k) n *= dims[k];
  return n;
}

// Asks Linux for transparent huge pages on the whole 2 MiB pages of a block
// not yet written, as the modules do for their outputs: a large array's
// first write then faults once per 2 MiB, not once per 4 KiB. The host's
// own copy, since MATLAB's stand-in depends on nothing of the modules.
void adviseHugePages(void *p, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  const uintptr_t huge = uintptr_t(2) << 20, at = reinterpret_cast<uintptr_t>(p);
  const uintptr_t begin = (at + huge - 1) & ~(huge - 1), end = (at + bytes) & ~(huge - 1);
  if (end > begin) madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)p;
  (void)bytes;
#endif
}

// Storage, zero-filled or left as it is, advised for huge pages before any
// element is written. A failed allocation inside a call becomes an error of
// that call, as it does in MATLAB.
void *storage(mwSize count, size_t size, bool zeroed) {
  if (count == 0) return nullptr;
  void *p = nullptr;
  if (zeroed)
    p = std::calloc(count, size);
  else if (count <= SIZE_MAX / size)
    p = std::malloc(count * size);
  if (!p && callState.active) mxHostRaise("", "Out of memory.\n");
  if (p) adviseHugePages(p, count * size);
  return p;
}

// A block for mxMalloc (zeroed: mxCalloc), recorded to the call in progress
// before it is handed out, as MATLAB frees such memory when the call ends.
void *block(size_t count, size_t size, bool zeroed) {
  void *p = nullptr;
  if (count <= SIZE_MAX / size) {
    const size_t bytes = count * size > 0 ? count * size : 1;
    p = zeroed ? std::calloc(bytes, 1) : std::malloc(bytes);
  }
  if (p && callState.active) {
    try {
      callState.blocks.push_back(p);
    } catch (const std::bad_alloc &) {
      std::free(p);
      p = nullptr;
    }
  }
  if (!p && callState.active) mxHostRaise("", "Out of memory.\n");
  liveBlocks += p != nullptr;
  return p;
}

void freeBlock(void *p) {
  std::free(p);
  --liveBlocks;
}

mxArray *makeArray(mxClassID cls, mwSize ndim, const mwSize *dims, bool complex, bool sparse) {
  mxArray *a =
      new mxArray_tag{cls, complex, sparse, {}, elementSize(cls), 0, nullptr, nullptr, {}, {}};
  a->dims.assign(dims, dims + ndim);
  while (a->dims.size() < 2) a->dims.push_back(1);
  // Trailing singleton dims beyond the second are dropped, as MATLAB does.
  while (a->dims.size() > 2 && a->dims.back() == 1) a->dims.pop_back();
  ++liveArrays;
  if (callState.active) callState.created.push_back(a);
  return a;
}

void fill(mxArray *a, mwSize stored, bool zeroed = true) {
  a->stored = stored;
  a->re = storage(stored, a->elementSize, zeroed);
  if (a->complex) a->im = storage(stored, a->elementSize, zeroed);
}

template <typename T>
double as(const char *p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return static_cast<double>(v);
}

// Stored element k as a double (the real part when complex).
double storedValue(const mxArray *a, mwSize k) {
  const char *p = static_cast<const char *>(a->re) + k * a->elementSize;
  switch (a->cls) {
    case mxDOUBLE_CLASS: return as<double>(p);
    case mxSINGLE_CLASS: return as<float>(p);
    case mxINT8_CLASS: return as<signed char>(p);
    case mxUINT8_CLASS: return as<unsigned char>(p);
    case mxINT16_CLASS: return as<short>(p);
    case mxUINT16_CLASS: return as<unsigned short>(p);
    case mxINT32_CLASS: return as<int>(p);
    case mxUINT32_CLASS: return as<unsigned>(p);
    case mxINT64_CLASS: return as<long long>(p);
    case mxUINT64_CLASS: return as<unsigned long long>(p);
    case mxLOGICAL_CLASS: return as<unsigned char>(p);
    case mxCHAR_CLASS: return as<mxChar>(p);
    default: return 0.0;
  }
}

mxArray *makeSparse(mxClassID cls, mwSize m, mwSize n, mwSize nzmax, bool complex) {
  const mwSize dims[2] = {m, n};
  mxArray *a = makeArray(cls, 2, dims, complex, true);
  if (nzmax == 0) nzmax = 1;  // as MATLAB does
  fill(a, nzmax);
  a->ir.assign(nzmax, 0);
  a->jc.assign(n + 1, 0);
  return a;
}

}  // namespace

extern "C" {

mwSize mxGetM(const mxArray *a) { return a->dims[0]; }
mwSize mxGetN(const mxArray *a) { return product(a->dims, 1); }
mwSize mxGetNumberOfElements(const mxArray *a) { return product(a->dims, 0); }
mwSize mxGetNumberOfDimensions(const mxArray *a) { return a->dims.size(); }
const mwSize *mxGetDimensions(const mxArray *a) { return a->dims.data(); }
double *mxGetPr(const mxArray *a) { return static_cast<double *>(a->re); }
void *mxGetData(const mxArray *a) { return a->re; }
size_t mxGetElementSize(const mxArray *a) { return a->elementSize; }

mxClassID mxGetClassID(const mxArray *a) { return a->cls; }
bool mxIsDouble(const mxArray *a) { return a->cls == mxDOUBLE_CLASS; }
bool mxIsComplex(const mxArray *a) { return a->complex; }
bool mxIsSparse(const mxArray *a) { return a->sparse; }
bool mxIsLogical(const mxArray *a) { return a->cls == mxLOGICAL_CLASS; }
bool mxIsChar(const mxArray *a) { return a->cls == mxCHAR_CLASS; }
bool mxIsEmpty(const mxArray *a) { return mxGetNumberOfElements(a) == 0; }
bool mxIsNumeric(const mxArray *a) { return a->cls >= mxDOUBLE_CLASS && a->cls <= mxUINT64_CLASS; }

// The first element (the real part when complex); 0 when nothing is stored.
// A sparse array gives its first nonzero stored element, wherever it lies,
// as MATLAB's does.
double mxGetScalar(const mxArray *a) {
  if (a->stored == 0 || !a->re) return 0.0;
  if (!a->sparse) return storedValue(a, 0);
  for (mwSize k = 0; k < a->jc.back(); ++k)
    if (const double v = storedValue(a, k); v != 0.0) return v;
  return 0.0;
}

mwIndex *mxGetIr(const mxArray *a) {
  return a->sparse ? const_cast<mwIndex *>(a->ir.data()) : nullptr;
}
mwIndex *mxGetJc(const mxArray *a) {
  return a->sparse ? const_cast<mwIndex *>(a->jc.data()) : nullptr;
}

mxArray *mxCreateNumericArray(mwSize ndim, const mwSize *dims, mxClassID cls, mxComplexity c) {
  return mxHostCreateArray(cls, ndim, dims, c);
}

mxArray *mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID cls, mxComplexity c) {
  const mwSize dims[2] = {m, n};
  return mxHostCreateArray(cls, 2, dims, c);
}

mxArray *mxCreateUninitNumericArray(mwSize ndim, mwSize *dims, mxClassID cls, mxComplexity c) {
  mxArray *a = makeArray(cls, ndim, dims, c == mxCOMPLEX, false);
  fill(a, mxGetNumberOfElements(a), false);
  return a;
}

mxArray *mxCreateUninitNumericMatrix(mwSize m, mwSize n, mxClassID cls, mxComplexity c) {
  mwSize dims[2] = {m, n};
  return mxCreateUninitNumericArray(2, dims, cls, c);
}

mxArray *mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity c) {
  return mxCreateNumericMatrix(m, n, mxDOUBLE_CLASS, c);
}

mxArray *mxCreateLogicalScalar(mxLogical value) {
  mxArray *a = mxCreateNumericMatrix(1, 1, mxLOGICAL_CLASS, mxREAL);
  static_cast<unsigned char *>(a->re)[0] = value ? 1 : 0;
  return a;
}

void mxDestroyArray(mxArray *a) {
  if (!a) return;
  // An array a call releases itself is no longer the call's to release.
  if (callState.active) {
    std::vector<mxArray *> &created = callState.created;
    created.erase(std::remove(created.begin(), created.end(), a), created.end());
  }
  std::free(a->re);
  std::free(a->im);
  delete a;
  --liveArrays;
}

mxArray *mxHostCreateArray(mxClassID cls, mwSize ndim, const mwSize *dims, mxComplexity c) {
  mxArray *a = makeArray(cls, ndim, dims, c == mxCOMPLEX, false);
  fill(a, mxGetNumberOfElements(a));
  return a;
}

mxArray *mxCreateSparse(mwSize m, mwSize n, mwSize nzmax, mxComplexity c) {
  return makeSparse(mxDOUBLE_CLASS, m, n, nzmax, c == mxCOMPLEX);
}

mxArray *mxCreateSparseLogicalMatrix(mwSize m, mwSize n, mwSize nzmax) {
  return makeSparse(mxLOGICAL_CLASS, m, n, nzmax, false);
}

mxArray *mxHostCreateShapeOnly(mxClassID cls, mwSize ndim, const mwSize *dims) {
  return makeArray(cls, ndim, dims, false, false);
}

void *mxMalloc(size_t n) { return block(n, 1, false); }
void *mxCalloc(size_t n, size_t size) { return block(n, size > 0 ? size : 1, true); }

void mxFree(void *p) {
  if (!p) return;
  if (callState.active) {
    std::vector<void *> &blocks = callState.blocks;
    blocks.erase(std::remove(blocks.begin(), blocks.end(), p), blocks.end());
  }
  freeBlock(p);
}

size_t mxHostLiveArrays(void) { return liveArrays; }
size_t mxHostLiveBlocks(void) { return liveBlocks; }

void mxHostBeginCall(void) {
  callState.active = true;
  callState.created.clear();
  callState.blocks.clear();
  callState.identifier.clear();
  callState.message.clear();
}

void mxHostEndCall(int failed, mxArray **slots, int nslots) {
  callState.active = false;
  for (mxArray *a : callState.created) {
    mxArray **end = slots + nslots;
    mxArray **kept = std::find(slots, end, a);
    if (failed || kept == end) mxDestroyArray(a);
  }
  callState.created.clear();
  for (void *p : callState.blocks) freeBlock(p);
  callState.blocks.clear();
  if (failed) std::fill(slots, slots + nslots, nullptr);
}

void mxHostRaise(const char *identifier, const char *message) {
  callState.identifier = identifier ? identifier : "";
  callState.message = message ? message : "";
  mxHostRaiseRecorded();
}

void mxHostRecordError(const char *identifier, const char *format, va_list args) {
  callState.identifier = identifier ? identifier : "";
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  callState.message.assign(length > 0 ? size_t(length) : 0, '\0');
  if (length > 0) std::vsnprintf(&callState.message[0], size_t(length) + 1, format, again);
  va_end(again);
}

int mxHostErrorsThrow(void) { return errorsThrow(); }

int mxHostTrap(void (*body)(void *), void *data) {
  ++callState.traps;
  const int raised = errorsThrow() ? trapByException(body, data) : trapByJump(body, data);
  --callState.traps;
  return raised;
}

// An error with no call to end (raised on a thread that is not the call's,
// or after the call) would otherwise throw into nothing or jump to a frame
// that is gone.
void mxHostRaiseRecorded(void) {
  if (callState.traps == 0) {
    std::fprintf(stderr, "error raised outside any call: %s\n", callState.message.c_str());
    std::abort();
  }
  if (errorsThrow()) throw HostError{};
  std::longjmp(*callState.target, 1);
}

const char *mxHostLastMessage(void) { return callState.message.c_str(); }
const char *mxHostLastIdentifier(void) { return callState.identifier.c_str(); }

}  // extern "C"
