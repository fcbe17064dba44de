#include "module_loader.h"

#include <cstring>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace mexhost {

std::string moduleDir() { return EXACTMEX_MODULE_DIR; }

std::vector<std::string> deliverables() {
  std::vector<std::string> names;
  std::string all = EXACTMEX_MODULE_NAMES;
  for (size_t start = 0, end; start < all.size(); start = end + 1) {
    end = all.find(',', start);
    if (end == std::string::npos) end = all.size();
    names.push_back(all.substr(start, end - start));
  }
  return names;
}

Array matrix(size_t m, size_t n, const std::vector<double> &values) {
  Array a(mxCreateDoubleMatrix(m, n, mxREAL));
  if (!values.empty()) std::memcpy(mxGetPr(a.get()), values.data(), m * n * sizeof(double));
  return a;
}

Array scalar(double value) { return matrix(1, 1, {value}); }

std::vector<const mxArray *> pointers(const std::vector<Array> &args) {
  std::vector<const mxArray *> r;
  for (const Array &a : args) r.push_back(a.get());
  return r;
}

std::string modulePath(const std::string &name, const std::string &dir) {
  return dir + "/" + name + EXACTMEX_MEX_SUFFIX;
}

Module::Module(const std::string &name, const std::string &dir) {
  const std::string path = modulePath(name, dir);
#if defined(_WIN32)
  HMODULE h = LoadLibraryA(path.c_str());
  // 126: a library it imports is missing; 127: a name it imports is.
  if (!h)
    throw std::runtime_error("cannot load " + path + " (error " + std::to_string(GetLastError()) +
                             ")");
  handle_ = h;
  entry_ =
      reinterpret_cast<mexFunctionPtr>(reinterpret_cast<void *>(GetProcAddress(h, "mexFunction")));
#else
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) throw std::runtime_error(dlerror());
  entry_ = reinterpret_cast<mexFunctionPtr>(dlsym(handle_, "mexFunction"));
#endif
  if (!entry_) throw std::runtime_error(path + " exports no mexFunction");
}

void *Module::symbol(const char *name) const {
#if defined(_WIN32)
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
  return dlsym(handle_, name);
#endif
}

Module::~Module() {
  mexHostUnload(entry_);
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(handle_));
#else
  dlclose(handle_);
#endif
}

CallResult Module::call(int nlhs, const std::vector<const mxArray *> &inputs) const {
  std::vector<mxArray *> slots(nlhs > 1 ? nlhs : 1, nullptr);
  std::vector<const mxArray *> prhs(inputs);
  CallResult result;
  result.ok =
      mexHostCall(entry_, nlhs, slots.data(), static_cast<int>(prhs.size()), prhs.data()) == 0;
  if (!result.ok) {
    result.error = mexHostLastError();
    result.identifier = mexHostLastErrorId();
  }
  for (mxArray *a : slots) result.outputs.emplace_back(a);
  return result;
}

std::string Module::error(int nlhs, const std::vector<const mxArray *> &inputs) const {
  return call(nlhs, inputs).error;
}

}  // namespace mexhost
