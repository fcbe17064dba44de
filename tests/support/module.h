// Loads a built module by path and calls its mexFunction through the
// standalone host, as MATLAB would.
#ifndef EXACTMEX_TESTS_MODULE_H
#define EXACTMEX_TESTS_MODULE_H

#include <memory>
#include <string>
#include <vector>

#include "mexhost.h"

namespace test {

std::string moduleDir();
std::string testModuleDir();
// Names of every deliverable module in this build.
std::vector<std::string> deliverables();

struct ArrayDeleter {
  void operator()(mxArray *a) const { mxDestroyArray(a); }
};
using Array = std::unique_ptr<mxArray, ArrayDeleter>;

struct CallResult {
  bool ok = false;
  std::string error;           // the message exactly as raised
  std::string identifier;      // its identifier, "" when raised without one
  std::vector<Array> outputs;  // max(nlhs, 1) slots; null where nothing stored
};

class Module {
 public:
  // name is the file's name without the MEX extension; dir is where it lies:
  // moduleDir() for the deliverables, testModuleDir() for test builds.
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

}  // namespace test

#endif
