// Loads a built module by path and calls its mexFunction through the
// standalone host, as MATLAB would, with inputs made here: for the tests and
// the benchmarks.
#ifndef EXACTMEX_HOST_MODULE_LOADER_H
#define EXACTMEX_HOST_MODULE_LOADER_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "mexhost.h"

namespace mexhost {

// Where this build puts the deliverable modules, and their names.
std::string moduleDir();
std::vector<std::string> deliverables();

struct ArrayDeleter {
  void operator()(mxArray *a) const { mxDestroyArray(a); }
};
using Array = std::unique_ptr<mxArray, ArrayDeleter>;

// An m-by-n double matrix from values in column-major order (zeros if none).
Array matrix(size_t m, size_t n, const std::vector<double> &values);
Array scalar(double value);
// The arguments of one call, in order: Array only moves, so an initializer
// list cannot hold them.
template <class... A>
std::vector<Array> arrays(A &&...a) {
  std::vector<Array> v;
  (v.push_back(std::forward<A>(a)), ...);
  return v;
}
// The arrays as a call takes them.
std::vector<const mxArray *> pointers(const std::vector<Array> &args);

struct CallResult {
  bool ok = false;
  std::string error;           // the message exactly as raised
  std::string identifier;      // its identifier, "" when raised without one
  std::vector<Array> outputs;  // max(nlhs, 1) slots; null where nothing stored
};

class Module {
 public:
  // name is the file's name without the MEX extension; dir is where it lies.
  explicit Module(const std::string &name, const std::string &dir = moduleDir());
  ~Module();
  Module(const Module &) = delete;
  Module &operator=(const Module &) = delete;

  CallResult call(int nlhs, const std::vector<const mxArray *> &inputs) const;
  // Calls with these inputs and returns the error text ("" when none).
  std::string error(int nlhs, const std::vector<const mxArray *> &inputs) const;
  // Address of an exported symbol, or null when the module does not export it.
  void *symbol(const char *name) const;
  // The loaded module: its image base address on Windows, the dlopen handle
  // elsewhere.
  const void *handle() const { return handle_; }

 private:
  void *handle_ = nullptr;
  mexFunctionPtr entry_ = nullptr;
};

std::string modulePath(const std::string &name, const std::string &dir = moduleDir());

}  // namespace mexhost

#endif
