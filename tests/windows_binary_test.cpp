// The shipped Windows binaries, as loaded: each module offers mexFunction
// alone and needs nothing on a user's machine beyond Windows and the matrix
// interface (the GCC and C++ runtimes are linked in).
#include <gtest/gtest.h>

#if defined(_WIN32)

#include <algorithm>
#include <set>

#include "support/module.h"
#include "support/pe_image.h"

namespace {

using namespace test;

TEST(WindowsBinary, ModulesExportMexFunctionAlone) {
  for (const std::string &name : deliverables()) {
    Module mod(name);
    const ExportTable table = exportTable(mod.handle());
    EXPECT_EQ(table.entries, 1u) << name;
    EXPECT_EQ(table.names, std::vector<std::string>{"mexFunction"}) << name;
  }
}

TEST(WindowsBinary, ModulesImportOnlyWindowsAndTheMatrixInterface) {
  // ole32 is the identifier service mintid asks for a GUID.
  const std::set<std::string> allowed = {"kernel32.dll", "msvcrt.dll", "ole32.dll", "libmx.dll",
                                         "libmex.dll"};
  for (const std::string &name : deliverables()) {
    Module mod(name);
    const std::vector<std::string> imports = importedLibraries(mod.handle());
    for (const std::string &lib : imports) EXPECT_EQ(allowed.count(lib), 1u) << name << ": " << lib;
    for (const char *lib : {"libmx.dll", "libmex.dll"})
      EXPECT_NE(std::find(imports.begin(), imports.end(), lib), imports.end())
          << name << " does not import " << lib;
  }
}

}  // namespace

#endif
