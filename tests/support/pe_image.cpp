#include "support/pe_image.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace test {

namespace {

// Data of the image at a relative virtual address: in a loaded image the
// tables lie at their addresses, so no section mapping is needed.
template <typename T>
const T *at(const void *image, DWORD rva) {
  return reinterpret_cast<const T *>(static_cast<const BYTE *>(image) + rva);
}

// IMAGE_NT_HEADERS is the header of this program's word size, which is the
// word size of every module it can load.
const IMAGE_DATA_DIRECTORY &directory(const void *image, int entry) {
  const IMAGE_DOS_HEADER *dos = at<IMAGE_DOS_HEADER>(image, 0);
  const IMAGE_NT_HEADERS *nt = at<IMAGE_NT_HEADERS>(image, dos->e_lfanew);
  return nt->OptionalHeader.DataDirectory[entry];
}

}  // namespace

ExportTable exportTable(const void *image) {
  ExportTable table;
  const IMAGE_DATA_DIRECTORY &d = directory(image, IMAGE_DIRECTORY_ENTRY_EXPORT);
  if (d.Size == 0) return table;
  const IMAGE_EXPORT_DIRECTORY *exports = at<IMAGE_EXPORT_DIRECTORY>(image, d.VirtualAddress);
  table.entries = exports->NumberOfFunctions;
  const DWORD *names = at<DWORD>(image, exports->AddressOfNames);
  for (DWORD k = 0; k < exports->NumberOfNames; ++k)
    table.names.push_back(at<char>(image, names[k]));
  return table;
}

std::vector<std::string> importedLibraries(const void *image) {
  std::vector<std::string> libraries;
  const IMAGE_DATA_DIRECTORY &d = directory(image, IMAGE_DIRECTORY_ENTRY_IMPORT);
  if (d.Size == 0) return libraries;
  // The descriptor list ends with an all-zero entry.
  for (const IMAGE_IMPORT_DESCRIPTOR *imp = at<IMAGE_IMPORT_DESCRIPTOR>(image, d.VirtualAddress);
       imp->Name != 0; ++imp) {
    std::string name = at<char>(image, imp->Name);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    libraries.push_back(name);
  }
  return libraries;
}

}  // namespace test
