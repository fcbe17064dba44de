#include "gateway/in_matlab.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace gateway {

InterruptQuestion matlabInterruptQuestion() {
  // Only looked for, never loaded: a module that loaded libut itself would
  // think it runs in MATLAB wherever the library happens to be found.
#if defined(_WIN32)
  HMODULE ut = GetModuleHandleA("libut.dll");
  return ut ? reinterpret_cast<InterruptQuestion>(
                  reinterpret_cast<void *>(GetProcAddress(ut, "utIsInterruptPending")))
            : nullptr;
#else
  // MATLAB loads libut with its own libraries, where every library of the
  // process can see it.
  return reinterpret_cast<InterruptQuestion>(dlsym(RTLD_DEFAULT, "utIsInterruptPending"));
#endif
}

}  // namespace gateway
