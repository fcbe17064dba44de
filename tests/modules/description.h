// A module as the tests, the fuzz targets and the benchmark see it, written
// once in tests/modules/NAME.cpp for every module of modules.txt: how it is
// called, the data classes it takes, what any call must do (its model, from
// the oracles), how it fails and what it is timed on. module_table writes
// it out for the Octave suites.
#ifndef EXACTMEX_TESTS_DESCRIPTION_H
#define EXACTMEX_TESTS_DESCRIPTION_H

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/arrays.h"

namespace test {

// An argument, named as the module's messages name it: a data array (of
// this size in a valid call, and in one whose output is 100-by-100), a
// selector code or a count such as k (1 in a valid call).
struct Argument {
  std::string name;
  bool selector, count;
  size_t rows, cols, largeRows, largeCols;
  bool data() const { return !selector && !count; }
};

Argument data(const char *name, size_t rows, size_t cols, size_t largeRows, size_t largeCols);
Argument selector(const char *name);
Argument count(const char *name);

// A call of any arguments (the fuzzer's), and what a correct module does
// with it: whether it is valid, and then its m-by-n output (computed only
// when it fits): double values, or single ones (singles) where the call's
// data are single; whether its elements are computed or selected operands,
// and a second output of that size when the call asks for one.
struct Call {
  int nlhs = 0;
  std::vector<const mxArray *> args;
  int nrhs() const { return static_cast<int>(args.size()); }
  const mxArray *arg(int k) const { return args[k]; }
};

struct Expected {
  bool valid = false;
  size_t m = 0, n = 0;
  std::function<std::vector<double>()> values;
  Element element = Element::kComputed;
  std::function<std::vector<double>()> second = nullptr;
  std::function<std::vector<float>()> singles = nullptr;  // set: a single output, not values
};

// The data of an array, of its class's type T.
template <class T>
const T *dataOf(const mxArray *a) {
  return static_cast<const T *>(mxGetData(a));
}

// A valid call whose data are of class cls (double or single) and whose
// m-by-n output f(T()) computes in T, the class's type.
template <class F>
Expected computedIn(mxClassID cls, size_t m, size_t n, F f, Element e = Element::kComputed) {
  Expected r{true, m, n, nullptr, e};
  if (cls == mxSINGLE_CLASS)
    r.singles = [=] { return f(float()); };
  else
    r.values = [=] { return f(double()); };
  return r;
}

// Where the output of a call of result want is not what want says, or "".
std::string mismatch(const mxArray *got, const Expected &want);

// A failing call: the reason its identifier gives (exactmex:MODULE:REASON),
// its arguments, a word each, and its message exactly. A word is ROWSxCOLS
// (zeros), a number (a scalar), KIND:ROWSxCOLS (KIND a class of
// kClassNames, sparse or complex) or huge (2^31 rows of no data, which
// Octave cannot make); readShape reads the kind and size of one.
struct ErrorCase {
  const char *reason;
  int nlhs;
  const char *args;
  std::string message;
  std::vector<Array> inputs() const;
};

extern const char *const kClassNames[16];  // indexed by mxClassID
bool readShape(const std::string &word, std::string *kind, size_t *m, size_t *n);

// A call the benchmark times ("W1 lanefuse add d=1": workload, module, case),
// its inputs made once: the output elements (or terms) it computes, the
// output bytes (the size of the matching copy floor), and for a nearest
// module the table workload of the same inputs.
struct Workload {
  std::string name;
  std::function<std::vector<Array>()> inputs;
  double elements, bytes;
  std::string unit = "elements", table = "";  // unit "terms" for pairwise sums
};

struct Description {
  std::string module;
  std::vector<Argument> args;
  int outputs = 1;  // the most a valid call asks for
  // What each data argument may be: real and full, of these classes.
  std::vector<mxClassID> classes = {mxDOUBLE_CLASS};

  // The model; the codes every valid call is tried with on its operation
  // selector; for outputs other than m-by-n doubles, what is wrong with those
  // of a valid call (null when nothing).
  std::function<Expected(const Call &)> expect;
  int firstCode = 0, lastCode = -1;
  const char *(*checkOutputs)(const CallResult &) = nullptr;

  std::vector<ErrorCase> errors;
  // The workloads with a speed goal; the tables in shapes of the same work.
  std::vector<Workload> workloads, shapes;
  // A valid call's arguments, made fresh: each data argument of its size
  // (or its large one) filled with fill, 1 for each selector and count.
  std::vector<Array> validArgs(bool large = false, double fill = 0.0) const;
  // The last selector, the one that picks the operation; -1 when none.
  int operationArg() const;
};

// Every module of modules.txt, in its order, and the one of a module (the
// process ends when there is none).
const std::vector<Description> &descriptions();
const Description &description(const std::string &module);

// What the models read of an argument: a data input (real, full, within
// 32-bit counts), the class the data inputs args share when it is one of
// classes (mxUNKNOWN_CLASS when not, or when one is no data input), a
// selector (numeric, logical or char), a count (a
// real numeric scalar, sparse too, holding a positive whole number), a
// selector's code (its first element truncated toward zero; INT64_MIN for
// NaN, empty or outside 32 bits), its first element (0 where sparse and
// not stored).
// Whether an m-by-n double output has a byte count a host may be asked for.
bool addressable(size_t m, size_t n);
bool isData(const mxArray *a);
mxClassID dataClass(const Call &c, std::initializer_list<int> args,
                    const std::vector<mxClassID> &classes);
bool isSelector(const mxArray *a);
bool isCount(const mxArray *a);
int64_t code(const mxArray *a);
double first(const mxArray *a);

// Ordinary values, the same for a seed: speed does not depend on them.
Array randomMatrix(size_t m, size_t n, uint64_t seed);
// Calls of the work of a square of this side, t times taller than wide for
// each tallness t > 0, -t times wider for t < 0, named "NAME N1xN2".
std::vector<Workload> sweep(const std::string &name, size_t side, const std::vector<int> &tallness,
                            const std::function<Workload(const std::string &, size_t, size_t)> &at);

// Workload w of module s once per class, named "NAME CLASS": every data
// input holds the same whole numbers from 0 to 255 (of its values v,
// floor(|v| * 256) mod 256) in that class, so that the classes are timed on
// the same values, double among them.
std::vector<Workload> inClasses(const Description &s, const Workload &w,
                                const std::vector<mxClassID> &classes);

// A module of a family of metrics (pairwise.cpp): D = TABLE(A, B, code), or
// with nearest [D, I] = NEAREST(A, B, code, k); columns of d rows, codes 1
// to 3, the family's oracle for a model, the messages of the checks the
// module makes itself, and error cases that fail one check at a time.
struct Messages {
  std::string inputs, outputs, code, rows;
};
Description familyModule(const std::string &module, bool nearest, const char *a, const char *b,
                         const char *code, oracle::Metric metric, oracle::MetricOf<float> single,
                         const Messages &m);
// Their calls on two d-row matrices of values in [0, 1), of d * N1 * N2
// terms; with k > 0, a nearest call and the table workload of its inputs.
Workload pairs(const std::string &name, size_t d, size_t N1, size_t N2, int code, double k = 0,
               const std::string &table = "");
// A table's shape sweep on d rows.
std::vector<Workload> pairShapes(const std::string &name, size_t d, int code, size_t side,
                                 const std::vector<int> &tallness);

}  // namespace test

#endif
