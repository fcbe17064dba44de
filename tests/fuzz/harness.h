// What every fuzz target shares. The fuzzer's bytes choose a call: the
// number of outputs and inputs, and for each input its class, complexity,
// sparsity, dims (0, 1, small, or far beyond 32-bit counts) and values
// (NaN, +-Inf, +-0, subnormals, selector fractions, raw bits). The call goes
// to the module's gateway through the standalone host, and its outcome must
// be what the target's model of the module expects:
//   - an invalid call fails with one of the module's fixed messages or with a
//     validation error "<module>: ...";
//   - a valid call succeeds with a result equal by bits to the scalar oracle,
//     or fails with the host's "Out of memory.\n" when its output is larger
//     than the fuzz build lets one allocation be;
//   - inputs are left unchanged and no array is left behind.
// Anything else aborts, and libFuzzer keeps the input that did it.
#ifndef EXACTMEX_TESTS_FUZZ_HARNESS_H
#define EXACTMEX_TESTS_FUZZ_HARNESS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/arrays.h"
#include "support/signatures.h"

namespace fuzz {

// Largest allocation the fuzz build lets succeed (AddressSanitizer returns
// null above it, and the host turns that into "Out of memory.\n").
constexpr size_t kAllocationLimitMb = 32;

// The call the fuzzer's bytes describe.
struct Call {
  int nlhs = 0;
  std::vector<const mxArray *> args;

  int nrhs() const { return static_cast<int>(args.size()); }
  const mxArray *arg(int k) const { return args[k]; }
};

// A selector code that matches nothing: NaN, empty, or outside 32 bits.
constexpr int64_t kNoCode = INT64_MIN;

// A real, full double array within 32-bit counts: what a data input must be.
bool isData(const mxArray *a);
// A numeric, logical or char array: what a selector must be.
bool isSelector(const mxArray *a);
// The code a selector array gives: its first element truncated toward zero.
int64_t code(const mxArray *a);
// The first element of a non-empty numeric, logical or char array, as a
// double (a sparse array that does not store it holds 0 there).
double first(const mxArray *a);

// What a correct module does with a call.
struct Expected {
  bool valid = false;
  // The m-by-n double output of a valid call, computed only when it fits.
  size_t m = 0, n = 0;
  std::function<std::vector<double>()> values;
  // Whether its elements are computed or selected operands.
  test::Element element = test::Element::kComputed;
  // A second m-by-n output, where the call asks for one; null otherwise.
  std::function<std::vector<double>()> second = nullptr;
};

// A module's arguments, and which of them selects the operation, come from
// its line of tests/module_signatures.txt.
struct Target {
  const char *module;
  std::vector<std::string> messages;
  Expected (*expect)(const Call &);
  // The codes to try on the data of every valid call, given to the input
  // that selects the operation (when the module has one).
  int firstCode, lastCode;
  // Checks the outputs of a valid call that succeeded; null for the one
  // m-by-n double output of the numeric modules.
  void (*checkOutputs)(const test::CallResult &) = nullptr;
};

// The model of a module (models.cpp), null when there is none.
const Target *targetNamed(const char *module);
// The model of the module this fuzz target calls (EXACTMEX_FUZZ_MODULE).
const Target &target();

// Reports a broken expectation and aborts.
[[noreturn]] void fail(const char *what, const std::string &detail = "");

}  // namespace fuzz

#endif
