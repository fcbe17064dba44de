// Reads the export and import tables of a loaded Windows module, to check
// what a shipped DLL offers and what it needs on a user's machine.
#ifndef EXACTMEX_TESTS_PE_IMAGE_H
#define EXACTMEX_TESTS_PE_IMAGE_H

#include <string>
#include <vector>

namespace test {

struct ExportTable {
  unsigned entries = 0;            // exported addresses, named or by ordinal only
  std::vector<std::string> names;  // as written in the table
};

// image is the base address of a module loaded into this process.
ExportTable exportTable(const void *image);
// The DLLs the module imports from, lower-cased.
std::vector<std::string> importedLibraries(const void *image);

}  // namespace test

#endif
