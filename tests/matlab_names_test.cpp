// MATLAB's binary names: our libmx and libmex export each function under the
// name MATLAB's headers give it in the separate-complex API with 64-bit
// sizes, and not the plain name of a function they rename, so that a module
// importing a plain one fails to load here (in MATLAB it would load and
// misread sizes).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "support/arrays.h"

namespace {

using namespace test;

// What the library (libmx or libmex) exports under this name.
void *exported(const std::string &library, const char *name) {
#if defined(_WIN32)
  return reinterpret_cast<void *>(
      GetProcAddress(GetModuleHandleA((library + ".dll").c_str()), name));
#else
  void *lib = dlopen((library + ".so").c_str(), RTLD_NOW | RTLD_NOLOAD);
  void *found = lib ? dlsym(lib, name) : nullptr;
  if (lib) dlclose(lib);
  return found;
#endif
}

void *libmxExport(const char *name) { return exported("libmx", name); }

TEST(MatlabNames, LibmxExportsTheVersionedNamesOnly) {
  for (const char *name : {"mxGetNumberOfDimensions", "mxGetDimensions", "mxGetIr", "mxGetJc",
                           "mxCreateNumericArray", "mxCreateNumericMatrix", "mxCreateDoubleMatrix",
                           "mxCreateSparse", "mxCreateSparseLogicalMatrix"}) {
    EXPECT_EQ(libmxExport(name), nullptr) << name;
    EXPECT_NE(libmxExport((std::string(name) + "_730").c_str()), nullptr) << name << "_730";
  }
  for (const char *name : {"mxGetM", "mxGetPr", "mxCreateUninitNumericArray", "mxDestroyArray"})
    EXPECT_NE(libmxExport(name), nullptr) << name;
  EXPECT_NE(exported("libmex", "mexCallMATLABWithTrapWithObject"), nullptr);
  for (const char *name : {"mexCallMATLABWithTrap", "mexCallMATLAB"})
    EXPECT_EQ(exported("libmex", name), nullptr) << name;
}

// A copy of sampledist whose import of mxGetDimensions_730 reads
// mxGetDimensions: the string's "_730" turned into its end.
TEST(MatlabNames, ModuleImportingAPlainRenamedNameFailsToLoad) {
#if defined(_WIN32)
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
    GTEST_SKIP() << "wine loads a module whose import is missing, stubbed; Windows refuses it";
#endif
  std::ifstream in(mexhost::modulePath("sampledist"), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string name = "mxGetDimensions_730";
  const size_t at = bytes.find(name + '\0');
  ASSERT_NE(at, std::string::npos) << "sampledist does not import " << name;
  bytes.replace(at + name.size() - 4, 4, 4, '\0');
  std::ofstream(mexhost::modulePath("doctored_sampledist", testModuleDir()), std::ios::binary)
      << bytes;

  try {
    Module doctored("doctored_sampledist", testModuleDir());
    FAIL() << "a module importing mxGetDimensions loaded";
  } catch (const std::runtime_error &e) {
#if defined(_WIN32)
    EXPECT_NE(std::string(e.what()).find("error 127"), std::string::npos) << e.what();
#else
    EXPECT_NE(std::string(e.what()).find("mxGetDimensions"), std::string::npos) << e.what();
#endif
  }
}

}  // namespace
