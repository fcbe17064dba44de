#include "gateway/in_matlab.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace gateway {

namespace {

template <class F>
F as(void *symbol) {
  return reinterpret_cast<F>(symbol);
}

}  // namespace

MatlabInterrupts matlabInterrupts() {
  // Only looked for, never loaded: a module that loaded libut itself would
  // think it runs in MATLAB wherever the library happens to be found.
  MatlabInterrupts found{nullptr, nullptr};
#if defined(_WIN32)
  if (HMODULE ut = GetModuleHandleA("libut.dll")) {
    found.pending =
        as<bool (*)(void)>(reinterpret_cast<void *>(GetProcAddress(ut, "utIsInterruptPending")));
    found.setEnabled =
        as<bool (*)(bool)>(reinterpret_cast<void *>(GetProcAddress(ut, "utSetInterruptEnabled")));
  }
#else
  // MATLAB loads libut with its own libraries, where every library of the
  // process can see it; should it be loaded where only its dependants see
  // it, it is found by name among the libraries loaded (RTLD_NOLOAD loads
  // nothing). The functions stay valid after dlclose: MATLAB keeps libut.
#if defined(__APPLE__)
  const char *const name = "libut.dylib";
#else
  const char *const name = "libut.so";
#endif
  void *ut = nullptr;
  found.pending = as<bool (*)(void)>(dlsym(RTLD_DEFAULT, "utIsInterruptPending"));
  if (found.pending) {
    found.setEnabled = as<bool (*)(bool)>(dlsym(RTLD_DEFAULT, "utSetInterruptEnabled"));
  } else if ((ut = dlopen(name, RTLD_LAZY | RTLD_NOLOAD))) {
    found.pending = as<bool (*)(void)>(dlsym(ut, "utIsInterruptPending"));
    found.setEnabled = as<bool (*)(bool)>(dlsym(ut, "utSetInterruptEnabled"));
    dlclose(ut);
  }
#endif
  if (!found.pending) found.setEnabled = nullptr;
  return found;
}

}  // namespace gateway
