// What a module's gateway sees of a call, whichever host makes it (a MEX
// host or Octave): the counts, a view of each argument, a way to make the
// outputs, scratch memory and to raise an error, and the host's interrupt
// question. The
// conventions every gateway shares are written here once against that view:
// how selector codes and sizes are read, how data inputs are validated, how
// errors are named and how the output is made. Validation errors name the
// function and the argument; they come before any data of the argument is
// read. A module's gateway is one function taking a Call, which
// EXACTMEX_ENTRY (gateway/gateway.h) turns into the host's entry point.
#ifndef EXACTMEX_GATEWAY_CALL_H
#define EXACTMEX_GATEWAY_CALL_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "gateway/data_class.h"
#include "gateway/output_blocks.h"

namespace gateway {

// One argument as its host describes it.
struct Arg {
  DataClass cls;  // kOther for every class no kernel reads
  bool isNumeric, isLogical, isChar, isComplex, isSparse;
  // Sizes as the host counts them: cols is the product of every dimension
  // after the first.
  uint64_t rows, cols, count;
  // The elements, column by column, of a real, full array of a class a
  // kernel reads (cls is not kOther); null for any other array and may be
  // null when empty.
  const void *data;
  // The first element as a double (the real part), when numeric, logical or
  // char and not empty; 0 otherwise.
  double first;
};

// What each host provides; ctx is the host's own state of the call.
struct Host {
  Arg (*arg)(void *ctx, int k);
  // A real output of class cls (double or single) in slot, m-by-n, or with
  // the dimensions of input `like` (N-D included; m * n elements) when
  // like >= 0, zero-filled unless it need not be, and its data: null when
  // the memory cannot be had (a host may instead raise its own error), and
  // may be null when empty.
  void *(*numeric)(void *ctx, int slot, DataClass cls, int32_t m, int32_t n, int like, bool zeroed);
  // A zero-filled m-by-n uint8 output in slot, and its data.
  uint8_t *(*bytes)(void *ctx, int slot, int32_t m, int32_t n);
  void (*logical)(void *ctx, int slot, bool value);
  // Memory of `bytes` that the host frees when the call ends, however it
  // ends; null when it cannot be had (a host may instead raise its own
  // error).
  void *(*scratch)(void *ctx, size_t bytes);
  // Raises the error; never returns. id is "exactmex:<function>:<reason>".
  void (*raise)(void *ctx, const char *id, const char *message);
  // Whether to go on, asked between blocks of work; null: always.
  bool (*goOn)(void *ctx);
  // The most threads the host lets one call use, asked on the calling
  // thread by calls large enough to share their blocks; 0 or null: the host
  // sets no limit.
  int (*threadLimit)(void *ctx);
  // Registers the function that ends the module's worker threads, for the
  // host to call before it unloads the module; null where the module's own
  // teardown does it (gateway/workers.h).
  AtUnload atUnload;
};

struct Call {
  const char *fn;  // the function's name, for messages and identifiers
  int nlhs, nrhs;
  const Host *host;
  void *ctx;
};

// Memory for count elements of `size` bytes, for the call's own use. The
// host frees it when the call ends, however it ends: a gateway never frees
// it, so raising an error leaves nothing behind whether the host leaves by
// exception or by longjmp. Null when it cannot be had, the byte count
// overflowing included: the gateway then raises its own outOfMemory error
// (where the host has not raised its own: MATLAB's does).
inline void *scratch(const Call &c, size_t count, size_t size) {
  if (size > 0 && count > SIZE_MAX / size) return nullptr;
  return c.host->scratch(c.ctx, count * size);
}

// Value that no selector code uses: NaN, empty and out-of-range selectors.
constexpr int32_t kNoCode = INT32_MIN;

// A data input: its sizes, narrowed to the 32 bits the kernels count in,
// its class and its elements.
struct Input {
  int32_t rows, cols, count;
  DataClass cls;
  const void *data;

  // The elements, of the class's own type T (classOf<T>() == cls).
  template <class T>
  const T *as() const {
    return static_cast<const T *>(data);
  }
};

// A set of classes, one bit each.
using ClassSet = uint32_t;
template <class... T>
constexpr ClassSet classSet() {
  return ((ClassSet(1) << static_cast<int>(classOf<T>())) | ... | 0);
}
// The classes of a list of them, List<T...> (a family's ClassList).
template <template <class...> class List, class... T>
constexpr ClassSet classSet(List<T...>) {
  return classSet<T...>();
}
constexpr bool inSet(ClassSet set, DataClass c) {
  return c != DataClass::kOther && (set >> static_cast<int>(c) & 1) != 0;
}

// Calls f(T()) for the T of the list whose class is c; nothing when none
// is. The gateway's one switch from an input's class to its kernels' type.
template <class... T, class F>
void forClass(DataClass c, F &&f) {
  (void)((c == classOf<T>() ? (f(T()), true) : false) || ...);
}
template <template <class...> class List, class... T, class F>
void forClass(List<T...>, DataClass c, F &&f) {
  forClass<T...>(c, f);
}

// Raises the error exactmex:<fn>:<reason> with this message, exactly as it
// reads in MATLAB. Texts live on the stack: nothing is left allocated when
// the host abandons the call.
[[noreturn]] inline void fail(const Call &c, const char *reason, const char *message) {
  char id[96];
  std::snprintf(id, sizeof id, "exactmex:%s:%s", c.fn, reason);
  c.host->raise(c.ctx, id, message);
  std::abort();  // not reached: raise never returns
}

// Raises "<fn>: <arg> <what>\n", for the checks every module shares.
[[noreturn]] inline void failArg(const Call &c, const char *reason, const char *arg,
                                 const char *what) {
  char message[256];
  std::snprintf(message, sizeof message, "%s: %s %s\n", c.fn, arg, what);
  fail(c, reason, message);
}

// Truncates toward zero. NaN and values outside the int32 range give kNoCode.
inline int32_t toSelector(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return kNoCode;
  return static_cast<int32_t>(value);
}

// The sizes of argument a, rejected when a dimension or the element count
// does not fit the 32-bit counts the kernels use.
inline Input checkedShape(const Call &c, const Arg &a, const char *name) {
  if (a.rows > INT32_MAX || a.cols > INT32_MAX || a.count > INT32_MAX)
    failArg(c, "tooLarge", name, "has more than 2147483647 rows, columns or elements.");
  return {static_cast<int32_t>(a.rows), static_cast<int32_t>(a.cols), static_cast<int32_t>(a.count),
          a.cls, a.data};
}

// A data input, which must be a real, full (non-sparse) array of one of the
// classes of the list `accepted`, List<T...>, since kernels read its
// storage as elements of its class. Every other array is refused in the
// words of the modules that took doubles alone, which callers match.
template <class List>
Input readMatrix(const Call &c, int k, const char *name, List accepted) {
  const Arg a = c.host->arg(c.ctx, k);
  if (!inSet(classSet(accepted), a.cls) || a.isComplex || a.isSparse)
    failArg(c, "inputClass", name, "must be a real, full double array.");
  return checkedShape(c, a, name);
}

// Data inputs a and b (named so) are of one class, or the call fails with
// classMismatch naming both: kernels take all their data of one class.
inline void sameClass(const Call &c, const Input &a, const char *aName, const Input &b,
                      const char *bName) {
  if (a.cls == b.cls) return;
  char message[160];
  std::snprintf(message, sizeof message, "%s: %s (%s) and %s (%s) must be of the same class.\n",
                c.fn, aName, className(a.cls), bName, className(b.cls));
  fail(c, "classMismatch", message);
}

// A selector code: any numeric, logical or char value, first element taken
// (of a sparse array, element (0,0), 0 unless it is stored).
inline int32_t readSelector(const Call &c, int k, const char *name) {
  const Arg a = c.host->arg(c.ctx, k);
  if (!a.isNumeric && !a.isLogical && !a.isChar)
    failArg(c, "selectorClass", name, "must be a numeric, logical or char value.");
  if (a.count == 0) return kNoCode;
  return toSelector(a.first);
}

// The real output every numeric module returns, of class T (double or
// float), in `slot` (0 unless the module has more outputs), m-by-n or with
// the dimensions of input `like`. It is zero-filled unless the kernel about
// to run writes every element: then the fill is skipped, since the result
// is the same and a large output costs no extra pass over memory. A code
// that selects no kernel must still get zeros.
template <class T>
T *makeOutput(const Call &c, int32_t m, int32_t n, int like, bool kernelWritesAll, int slot = 0) {
  static_assert(classOf<T>() == DataClass::kDouble || classOf<T>() == DataClass::kSingle);
  T *data =
      static_cast<T *>(c.host->numeric(c.ctx, slot, classOf<T>(), m, n, like, !kernelWritesAll));
  if (!data && m > 0 && n > 0) {
    char message[96];
    std::snprintf(message, sizeof message, "%s: not enough memory for the output.\n", c.fn);
    fail(c, "outOfMemory", message);
  }
  return data;
}

// An m-by-n output sized from two counts (the pairwise modules). Two 32-bit
// counts can need up to 2^65 bytes: unchecked, a host's size arithmetic may
// wrap to a small block that the kernel then writes far past (Octave's
// uninitialised arrays do). An output of more than PTRDIFF_MAX bytes, which
// no allocation can have, is refused before the host is asked for memory;
// one that passes may still be more than the host can give.
template <class T>
T *createOutput(const Call &c, int32_t m, int32_t n, bool kernelWritesAll, int slot = 0) {
  const uint64_t count = static_cast<uint64_t>(m) * static_cast<uint64_t>(n);
  if (count > static_cast<uint64_t>(PTRDIFF_MAX) / sizeof(T)) {
    char what[96];
    std::snprintf(what, sizeof what, "of %d x %d elements is too large for memory.", int(m),
                  int(n));
    failArg(c, "tooLarge", "the output", what);
  }
  return makeOutput<T>(c, m, n, -1, kernelWritesAll, slot);
}

// A count (the k of the nearest-column modules): a real numeric scalar of
// any class, sparse too, whose value is a positive whole number; anything
// else raises badK. Its value, which may be far larger than any size.
inline double readCount(const Call &c, int k, const char *name) {
  const Arg a = c.host->arg(c.ctx, k);
  const double v = a.first;
  if (!a.isNumeric || a.isComplex || a.count != 1 || !(v >= 1) || std::isinf(v) ||
      v != std::floor(v))
    failArg(c, "badK", name, "must be a real numeric scalar holding a positive whole number.");
  return v;
}

// An output with the dimensions of input x (number k), N-D included, whose
// elements pair with x's in storage order (the broadcast modules: the size
// of X + v).
template <class T>
T *createOutputLike(const Call &c, int k, const Input &x, bool kernelWritesAll) {
  return makeOutput<T>(c, x.rows, x.cols, k, kernelWritesAll);
}

// What the calling thread asks the host while blocks run.
inline Poll pollOf(const Call &c) { return Poll{c.host->goOn, c.ctx, c.host->threadLimit}; }

// Runs body(j0, j1) over the n columns of the output at out, of `rows`
// rows, in blocks of about kBlockWork, asking the host between blocks
// whether to go on, on the module's worker threads too when the call is
// large (their blocks' edges go where columns start on a cache line).
// Returns false when the host said stop; the entry point then discards the
// outputs.
template <class T, class Body>
bool forColumns(const Call &c, const T *out, int32_t rows, int32_t n, double workPerColumn,
                Body &&body) {
  const auto plan = [&](int threads) {
    return Grid{whole(rows), threads > 1 ? shareBlocks(n, workPerColumn, out, rows, threads)
                                         : Blocks{n, 0, columnsPerBlock(workPerColumn)}};
  };
  return forBlocksOnThreads(double(n) * workPerColumn, plan, pollOf(c), c.host->atUnload,
                            [&](const Block &b) { body(b.j0, b.j1); });
}

// Runs body(block) over the m-by-n table at out, as forColumns does, in
// blocks of rows and columns (pairGrid): workPerElement is the work of one
// element, bytesPerColumn what the kernel reads for each column.
template <class T, class Body>
bool forPairBlocks(const Call &c, const T *out, int32_t m, int32_t n, double workPerElement,
                   double bytesPerColumn, Body &&body) {
  const auto plan = [&](int threads) {
    return pairGrid(m, n, workPerElement, bytesPerColumn, out, threads);
  };
  return forBlocksOnThreads(double(m) * n * workPerElement, plan, pollOf(c), c.host->atUnload,
                            body);
}

// Runs body(j0, j1) over the columns of an m-by-n table whose kernel keeps
// each column whole, as forPairBlocks does (nearestGrid).
template <class Body>
bool forNearestColumns(const Call &c, int32_t m, int32_t n, double workPerElement,
                       double bytesPerColumn, Body &&body) {
  const auto plan = [&](int threads) {
    return nearestGrid(m, n, workPerElement, bytesPerColumn, threads);
  };
  return forBlocksOnThreads(double(m) * n * workPerElement, plan, pollOf(c), c.host->atUnload,
                            [&](const Block &b) { body(b.j0, b.j1); });
}

}  // namespace gateway

#endif
