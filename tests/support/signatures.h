// Every module's arguments, from tests/module_signatures.txt, the one table
// of them that the C++ tests, the fuzz targets and the Octave tests read.
#ifndef EXACTMEX_TESTS_SIGNATURES_H
#define EXACTMEX_TESTS_SIGNATURES_H

#include <string>
#include <vector>

#include "module_loader.h"

namespace test {

struct Argument {
  std::string name;   // as the module's messages give it
  bool selector;      // a selector code, 1 in a valid call
  bool count;         // a count such as k, 1 in a valid call
  size_t rows, cols;  // of a data argument in a valid call

  bool data() const { return !selector && !count; }
};

struct Signature {
  std::string module;
  std::vector<Argument> args;
  int outputs = 1;  // the most a call may ask for

  // A valid call's arguments, made fresh: zeros of each data argument's
  // size, 1 for each selector and count.
  std::vector<mexhost::Array> validArgs() const;
  // The last selector, the one that picks the operation; -1 when none.
  int operationArg() const;
};

// In the table's order.
const std::vector<Signature> &signatures();
// The one of this module; the process ends when there is none.
const Signature &signature(const std::string &module);

}  // namespace test

#endif
