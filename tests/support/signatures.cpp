#include "support/signatures.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace test {

namespace {

// "NAME=code" or "NAME=ROWSxCOLS,LARGE"; the process ends on anything else,
// since no test could be trusted with a table it misread.
Argument parseArgument(const std::string &word) {
  const size_t eq = word.find('=');
  Argument a{word.substr(0, eq), false, 0, 0};
  const std::string shape = eq == std::string::npos ? "" : word.substr(eq + 1);
  std::istringstream size(shape);
  char x = 0;
  if (shape == "code")
    a.selector = true;
  else if (!(size >> a.rows >> x >> a.cols) || x != 'x') {
    std::fprintf(stderr, "module_signatures.txt: cannot read argument %s\n", word.c_str());
    std::abort();
  }
  return a;
}

std::vector<Signature> readTable() {
  std::ifstream in(EXACTMEX_SIGNATURES_FILE);
  if (!in) {
    std::fprintf(stderr, "cannot open %s\n", EXACTMEX_SIGNATURES_FILE);
    std::abort();
  }
  std::vector<Signature> table;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    Signature s;
    if (!(words >> s.module) || s.module[0] == '#') continue;
    for (std::string w; words >> w;) s.args.push_back(parseArgument(w));
    table.push_back(s);
  }
  return table;
}

}  // namespace

std::vector<mexhost::Array> Signature::validArgs() const {
  std::vector<mexhost::Array> v;
  for (const Argument &a : args)
    v.push_back(a.selector ? mexhost::scalar(1) : mexhost::matrix(a.rows, a.cols, {}));
  return v;
}

int Signature::operationArg() const {
  for (size_t k = args.size(); k-- > 0;)
    if (args[k].selector) return int(k);
  return -1;
}

const std::vector<Signature> &signatures() {
  static const std::vector<Signature> table = readTable();
  return table;
}

const Signature &signature(const std::string &module) {
  for (const Signature &s : signatures())
    if (s.module == module) return s;
  std::fprintf(stderr, "module_signatures.txt has no line for %s\n", module.c_str());
  std::abort();
}

}  // namespace test
