// The Octave host: a native function (DEFUN_DLD) over octave_value_list.
// Outputs are allocated uninitialised with the allocator Octave's arrays
// release with, written by the kernel and adopted by the returned array
// without a copy. Between blocks of work the calling thread asks Octave
// whether the user interrupted; if so the call stops, frees what it
// allocated, and Octave's own interrupt goes on from there.
#ifndef EXACTMEX_GATEWAY_OCTAVE_ENTRY_H
#define EXACTMEX_GATEWAY_OCTAVE_ENTRY_H

#include <octave/oct.h>
#include <octave/quit.h>

#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "gateway/call.h"
#include "gateway/huge_pages.h"

// The function's help text, made from help/<name>.m by build_mex.
#include "exactmex_help.h"

// Octave 6 gave Array its allocator parameter and the constructor that adopts
// storage made with it: Array (T *ptr, const dim_vector& dv, const Alloc&).
#if OCTAVE_MAJOR_VERSION < 6
#error "exactmex's Octave functions need Octave 6 or later"
#endif

namespace gateway {
namespace octhost {

template <class A>
struct AllocatorOf;
template <class T, class A>
struct AllocatorOf<Array<T, A>> {
  using type = A;
};
// The allocator Array<double> frees its storage with: std::allocator, or a
// polymorphic allocator where Octave was built with one.
using DoubleAllocator = AllocatorOf<Array<double>>::type;
using DoubleTraits = std::allocator_traits<DoubleAllocator>;

// An output allocated and not yet handed to Octave.
struct Pending {
  double *data;
  dim_vector dims;
};

struct State {
  const octave_value_list &args;
  // Inputs made into arrays (ranges, scalars, diagonal matrices), so their
  // data lives until the call ends.
  std::vector<NDArray> held;
  std::vector<Pending> pending;
  std::vector<octave_value> ready;
  // Scratch memory, freed with the state on every way out: an error raised
  // with error_with_id is a C++ exception.
  std::vector<std::unique_ptr<char[]>> scratch;
  // What Octave's interrupt check raised, raised again once the call has
  // freed what it allocated.
  std::exception_ptr stopped;

  explicit State(const octave_value_list &a) : args(a), held(a.length()) {}
  State(const State &) = delete;
  State &operator=(const State &) = delete;
  ~State() {
    DoubleAllocator alloc;
    for (const Pending &p : pending)
      if (p.data) DoubleTraits::deallocate(alloc, p.data, p.dims.numel());
  }

  void reserve(int slot) {
    if (pending.size() <= size_t(slot)) pending.resize(slot + 1, Pending{nullptr, dim_vector()});
    if (ready.size() <= size_t(slot)) ready.resize(slot + 1);
  }

  // Hands every output to Octave: allocated ones are adopted, not copied.
  octave_value_list results() {
    octave_value_list out;
    DoubleAllocator alloc;
    for (size_t k = 0; k < ready.size(); ++k) {
      Pending &p = pending[k];
      if (p.data) {
        ready[k] = NDArray(Array<double>(p.data, p.dims, alloc));
        p.data = nullptr;  // Octave's now
      }
      out(k) = ready[k];
    }
    return out;
  }
};

inline Arg arg(void *ctx, int k) {
  State *s = static_cast<State *>(ctx);
  const octave_value &v = s->args(k);
  Arg r{};
  r.isDouble = v.is_double_type();
  r.isNumeric = v.isnumeric();
  r.isLogical = v.islogical();
  r.isChar = v.is_string();
  r.isComplex = v.iscomplex();
  r.isSparse = v.issparse();
  const dim_vector dv = v.dims();
  r.rows = static_cast<uint64_t>(dv(0));
  r.cols = static_cast<uint64_t>(dv.numel(1));
  r.count = static_cast<uint64_t>(dv.numel());
  if (r.isDouble && !r.isComplex && !r.isSparse && r.count > 0) {
    s->held[k] = v.array_value();
    r.data = s->held[k].data();
  }
  if ((r.isNumeric || r.isLogical || r.isChar) && r.count > 0) {
    // Element (0, 0), also of a sparse array; the real part of a complex one.
    const octave_value first = v.fast_elem_extract(0);
    r.first =
        first.is_defined() ? first.double_value(true) : std::numeric_limits<double>::quiet_NaN();
  }
  return r;
}

inline double *doubles(void *ctx, int slot, int32_t m, int32_t n, int like, bool zeroed) {
  State *s = static_cast<State *>(ctx);
  s->reserve(slot);
  const size_t count = size_t(m) * size_t(n);
  DoubleAllocator alloc;
  double *data;
  try {
    data = DoubleTraits::allocate(alloc, count);
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
  s->pending[slot] = Pending{data, like >= 0 ? s->args(like).dims() : dim_vector(m, n)};
  adviseHugePages(data, count * sizeof(double));
  if (zeroed) std::memset(data, 0, count * sizeof(double));
  return data;
}

inline uint8_t *bytes(void *ctx, int slot, int32_t m, int32_t n) {
  State *s = static_cast<State *>(ctx);
  s->reserve(slot);
  uint8NDArray out(dim_vector(m, n), octave_uint8(0));
  // octave_uint8 holds one uint8_t and nothing else. The data is taken
  // while out is its only owner (fortran_vec copies shared data), then
  // shared with the output, which sees what is written there.
  uint8_t *data = reinterpret_cast<uint8_t *>(out.fortran_vec());
  s->ready[slot] = out;
  return data;
}

inline void logical(void *ctx, int slot, bool value) {
  State *s = static_cast<State *>(ctx);
  s->reserve(slot);
  s->ready[slot] = octave_value(value);
}

inline void *scratch(void *ctx, size_t bytes) {
  std::unique_ptr<char[]> block(new (std::nothrow) char[bytes > 0 ? bytes : 1]);
  if (!block) return nullptr;
  try {
    static_cast<State *>(ctx)->scratch.push_back(std::move(block));
  } catch (const std::bad_alloc &) {
    return nullptr;  // block is freed on the way out
  }
  return static_cast<State *>(ctx)->scratch.back().get();
}

inline void raise(void *, const char *id, const char *message) { error_with_id(id, "%s", message); }

inline bool goOn(void *ctx) {
  try {
    octave_quit();
    return true;
  } catch (...) {
    static_cast<State *>(ctx)->stopped = std::current_exception();
    return false;
  }
}

// Octave sets no limit on threads of its own. It has no exit function for
// an oct-file: the module's own teardown joins its workers when Octave
// unloads it (gateway/workers.cpp).
inline constexpr Host kHost = {arg,   doubles, bytes,   logical, scratch,
                               raise, goOn,    nullptr, nullptr};

inline octave_value_list run(const char *fn, void (*body)(const Call &),
                             const octave_value_list &args, int nargout) {
  State state(args);
  body(Call{fn, nargout, static_cast<int>(args.length()), &kHost, &state});
  if (state.stopped) std::rethrow_exception(state.stopped);
  return state.results();
}

}  // namespace octhost
}  // namespace gateway

// The module's Octave function `name`, running its gateway function `name`.
// Octave finds it by its installer, G<name>, which must stay visible when
// the rest is built hidden (Octave's OCTAVE_EXPORT may be empty).
#define EXACTMEX_ENTRY(name)                                       \
  extern "C" __attribute__((visibility("default")))                \
  octave_function *G##name(const octave::dynamic_library &, bool); \
  DEFUN_DLD(name, args, nargout, EXACTMEX_HELP) {                  \
    return gateway::octhost::run(#name, name, args, nargout);      \
  }

#endif
