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
#include <type_traits>
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
// The allocator Array<T> frees its storage with: std::allocator, or a
// polymorphic allocator where Octave was built with one.
template <class T>
using Allocator = typename AllocatorOf<Array<T>>::type;
template <class T>
using Traits = std::allocator_traits<Allocator<T>>;

// The Octave array of elements of T (double or float) that an output is.
template <class T>
using OutputArray = std::conditional_t<std::is_same_v<T, float>, FloatNDArray, NDArray>;

// An output allocated and not yet handed to Octave.
struct Pending {
  void *data;
  DataClass cls;
  dim_vector dims;
};

struct State {
  const octave_value_list &args;
  // Inputs made into arrays of their class: shared with the argument where
  // it already is one, made (ranges, scalars, diagonal matrices) so their
  // data lives until the call ends otherwise.
  std::vector<std::shared_ptr<const void>> held;
  std::vector<Pending> pending;
  std::vector<octave_value> ready;
  // Scratch memory, freed with the state on every way out: an error raised
  // with error_with_id is a C++ exception.
  std::vector<std::unique_ptr<char[]>> scratch;
  // What Octave's interrupt check raised, raised again once the call has
  // freed what it allocated.
  std::exception_ptr stopped;

  explicit State(const octave_value_list &a) : args(a) {}
  State(const State &) = delete;
  State &operator=(const State &) = delete;
  ~State() {
    for (const Pending &p : pending)
      if (p.data)
        forClass<double, float>(p.cls, [&](auto zero) {
          using T = decltype(zero);
          Allocator<T> alloc;
          Traits<T>::deallocate(alloc, static_cast<T *>(p.data), p.dims.numel());
        });
  }

  void reserve(int slot) {
    if (pending.size() <= size_t(slot))
      pending.resize(slot + 1, Pending{nullptr, DataClass::kDouble, dim_vector()});
    if (ready.size() <= size_t(slot)) ready.resize(slot + 1);
  }

  // Hands every output to Octave: allocated ones are adopted, not copied.
  octave_value_list results() {
    octave_value_list out;
    for (size_t k = 0; k < ready.size(); ++k) {
      Pending &p = pending[k];
      if (p.data) {
        forClass<double, float>(p.cls, [&](auto zero) {
          using T = decltype(zero);
          Allocator<T> alloc;
          ready[k] = OutputArray<T>(Array<T>(static_cast<T *>(p.data), p.dims, alloc));
        });
        p.data = nullptr;  // Octave's now
      }
      out(k) = ready[k];
    }
    return out;
  }
};

// The class a kernel reads of an argument's: kOther for every other one.
inline DataClass dataClassOf(const octave_value &v) {
  if (v.is_double_type()) return DataClass::kDouble;
  if (v.is_single_type()) return DataClass::kSingle;
  if (v.is_int8_type()) return DataClass::kInt8;
  if (v.is_uint8_type()) return DataClass::kUint8;
  if (v.is_int16_type()) return DataClass::kInt16;
  if (v.is_uint16_type()) return DataClass::kUint16;
  if (v.is_int32_type()) return DataClass::kInt32;
  if (v.is_uint32_type()) return DataClass::kUint32;
  return DataClass::kOther;
}

// Keeps the array for the call and gives its data. An Octave array
// shares its storage when copied, so the accessor that returns an array of
// the argument's own class (array_value of a double matrix, int8_array_value
// of an int8 one ...) copies nothing; octave_int<T> holds one T, so its
// data is read as T's.
template <class A>
const void *hold(State *s, A array) {
  auto kept = std::make_shared<const A>(std::move(array));
  s->held.push_back(kept);
  return kept->data();
}

inline const void *dataOf(State *s, const octave_value &v, DataClass cls) {
  switch (cls) {
    case DataClass::kDouble: return hold(s, v.array_value());
    case DataClass::kSingle: return hold(s, v.float_array_value());
    case DataClass::kInt8: return hold(s, v.int8_array_value());
    case DataClass::kUint8: return hold(s, v.uint8_array_value());
    case DataClass::kInt16: return hold(s, v.int16_array_value());
    case DataClass::kUint16: return hold(s, v.uint16_array_value());
    case DataClass::kInt32: return hold(s, v.int32_array_value());
    case DataClass::kUint32: return hold(s, v.uint32_array_value());
    default: return nullptr;
  }
}

inline Arg arg(void *ctx, int k) {
  State *s = static_cast<State *>(ctx);
  const octave_value &v = s->args(k);
  Arg r{};
  r.cls = dataClassOf(v);
  r.isNumeric = v.isnumeric();
  r.isLogical = v.islogical();
  r.isChar = v.is_string();
  r.isComplex = v.iscomplex();
  r.isSparse = v.issparse();
  const dim_vector dv = v.dims();
  r.rows = static_cast<uint64_t>(dv(0));
  r.cols = static_cast<uint64_t>(dv.numel(1));
  r.count = static_cast<uint64_t>(dv.numel());
  if (r.cls != DataClass::kOther && !r.isComplex && !r.isSparse && r.count > 0)
    r.data = dataOf(s, v, r.cls);
  if ((r.isNumeric || r.isLogical || r.isChar) && r.count > 0) {
    // Element (0, 0), also of a sparse array; the real part of a complex one.
    const octave_value first = v.fast_elem_extract(0);
    r.first =
        first.is_defined() ? first.double_value(true) : std::numeric_limits<double>::quiet_NaN();
  }
  return r;
}

template <class T>
T *allocate(size_t count) {
  Allocator<T> alloc;
  try {
    return Traits<T>::allocate(alloc, count);
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

inline void *numeric(void *ctx, int slot, DataClass cls, int32_t m, int32_t n, int like,
                     bool zeroed) {
  State *s = static_cast<State *>(ctx);
  s->reserve(slot);
  const bool single = cls == DataClass::kSingle;
  const size_t count = size_t(m) * size_t(n),
               bytes = count * (single ? sizeof(float) : sizeof(double));
  void *data = single ? static_cast<void *>(allocate<float>(count)) : allocate<double>(count);
  if (!data) return nullptr;
  s->pending[slot] = Pending{data, single ? DataClass::kSingle : DataClass::kDouble,
                             like >= 0 ? s->args(like).dims() : dim_vector(m, n)};
  adviseHugePages(data, bytes);
  if (zeroed) std::memset(data, 0, bytes);
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
inline constexpr Host kHost = {arg,   numeric, bytes,   logical, scratch,
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
