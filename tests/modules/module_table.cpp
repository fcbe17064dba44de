// Writes the modules' descriptions for the Octave suites as the M function
// module_signatures: a struct per module with the arguments of a valid call
// (args: ones of each data argument's size, 1 for each selector and count)
// and of one whose output is 100-by-100 (large), their names, which are
// selectors and which counts, the most outputs, the classes of the data and
// the error cases that Octave can make (reason, outputs, arguments,
// message). module_signatures(true) lists every module, without the
// argument those with arguments.
#include <cstdio>
#include <sstream>
#include <string>

#include "modules/description.h"

namespace {

using namespace test;

std::string quoted(const std::string &text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? "''" : std::string(1, c);
  return q + "'";
}

std::string ones(size_t m, size_t n) {
  return "ones(" + std::to_string(m) + ", " + std::to_string(n) + ")";
}

// An error case's argument word as M code.
std::string inM(const std::string &word) {
  std::string kind;
  size_t m = 0, n = 0;
  if (!readShape(word, &kind, &m, &n)) return word;
  const std::string size = std::to_string(m) + ", " + std::to_string(n) + ")";
  if (kind == "sparse" || kind == "cell") return kind + "(" + size;
  if (kind == "struct") return "repmat(struct(), " + size;
  return kind.empty() ? "zeros(" + size : kind + "(zeros(" + size + ")";
}

}  // namespace

int main(int argc, char **argv) {
  FILE *out = argc == 2 ? std::fopen(argv[1], "w") : nullptr;
  if (!out) return 1;
  std::fprintf(out,
               "function sigs = module_signatures(all)\n"
               "%% Made by module_table from the descriptions in tests/modules/.\n"
               "sigs = struct('name', {}, 'args', {}, 'large', {}, 'argnames', {}, "
               "'selector', {}, 'count', {}, 'outputs', {}, 'classes', {}, 'errors', {});\n");
  for (const Description &d : descriptions()) {
    std::string args, large, names, selectors, counts, classes, errors;
    for (const Argument &a : d.args) {
      const char *comma = names.empty() ? "" : ", ";
      args += comma + (a.data() ? ones(a.rows, a.cols) : "1");
      large += comma + (a.data() ? ones(a.largeRows, a.largeCols) : "1");
      names += comma + quoted(a.name);
      selectors += comma + std::to_string(a.selector);
      counts += comma + std::to_string(a.count);
    }
    for (mxClassID id : d.classes)
      classes += (classes.empty() ? "" : ", ") + quoted(kClassNames[id]);
    for (const ErrorCase &e : d.errors) {
      std::string inputs;
      std::istringstream words(e.args);
      for (std::string word; words >> word;) inputs += (inputs.empty() ? "" : ", ") + inM(word);
      if (inputs.find("huge") != std::string::npos) continue;
      const std::string message = e.message.substr(0, e.message.find_last_not_of('\n') + 1);
      errors += (errors.empty() ? "" : "; ") + quoted(e.reason) + ", " + std::to_string(e.nlhs) +
                ", {" + inputs + "}, " + quoted(message);
    }
    std::fprintf(out,
                 "sigs(end + 1) = struct('name', %s, 'args', {{%s}}, 'large', {{%s}}, "
                 "'argnames', {{%s}}, 'selector', logical([%s]), 'count', logical([%s]), "
                 "'outputs', %d, 'classes', {{%s}}, 'errors', {{%s}});\n",
                 quoted(d.module).c_str(), args.c_str(), large.c_str(), names.c_str(),
                 selectors.c_str(), counts.c_str(), d.outputs, classes.c_str(), errors.c_str());
  }
  std::fprintf(out, "if nargin == 0\n  sigs = sigs(~cellfun(@isempty, {sigs.args}));\nend\nend\n");
  return std::fclose(out) == 0 ? 0 : 1;
}
