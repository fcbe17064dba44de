// Loads a built module by path and calls its mexFunction through the
// standalone host, as MATLAB would.
#ifndef EXACTMEX_TESTS_MODULE_H
#define EXACTMEX_TESTS_MODULE_H

#include <memory>
#include <string>
#include <vector>

#include "mexhost.h"

namespace test {

struct ArrayDeleter {
  void operator()(mxArray *a) const { mxDestroyArray(a); }
};
using Array = std::unique_ptr<mxArray, ArrayDeleter>;

struct CallResult {
  bool ok = false;
  std::string error;           // the message exactly as raised
  std::vector<Array> outputs;  // max(nlhs, 1) slots; null where nothing stored
};

class Module {
 public:
  // name is the function's name; the file is <module dir>/<name><MEX ext>.
  explicit Module(const std::string &name);
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

std::string modulePath(const std::string &name);
// Every module the build makes, by function name.
std::vector<std::string> builtModules();

}  // namespace test

#endif
