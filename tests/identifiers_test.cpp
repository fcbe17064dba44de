// Every error a module raises carries the identifier
// exactmex:<function>:<reason>, the same reason for the same kind of fault
// in every module, so callers can catch errors by identifier.
#include <gtest/gtest.h>

#include "support/arrays.h"

namespace {

using namespace test;

struct Case {
  const char *module;
  const char *reason;
  int nlhs;
  std::vector<Array> args;
};

Array huge() {
  const mwSize dims[2] = {mwSize(1) << 31, 1};
  return Array(mxHostCreateShapeOnly(mxDOUBLE_CLASS, 2, dims));
}

std::vector<Case> cases() {
  std::vector<Case> c;
  auto add = [&c](const char *module, const char *reason, int nlhs, std::vector<Array> args) {
    c.push_back({module, reason, nlhs, std::move(args)});
  };
  add("lanefuse", "nargout", 2, arrays(matrix(2, 2), matrix(2, 1), scalar(1), scalar(1)));
  add("lanefuse", "nargin", 1, arrays(matrix(2, 2)));
  add("lanefuse", "inputClass", 1,
      arrays(ofClass(mxINT32_CLASS, 2, 2), matrix(2, 1), scalar(1), scalar(1)));
  add("lanefuse", "tooLarge", 1, arrays(huge(), matrix(2, 1), scalar(1), scalar(1)));
  add("lanefuse", "selectorClass", 1,
      arrays(matrix(2, 2), matrix(2, 1), ofClass(mxCELL_CLASS, 1, 1), scalar(1)));
  add("lanefuse", "sizeMismatch", 1, arrays(matrix(2, 2), matrix(3, 1), scalar(1), scalar(1)));
  add("lanefuse", "badCode", 1, arrays(matrix(2, 2), matrix(2, 1), scalar(3), scalar(1)));
  add("crossfuse", "nargout", 2, arrays());
  add("crossfuse", "nargin", 1, arrays(matrix(2, 2)));
  add("crossfuse", "inputClass", 1,
      arrays(matrix(2, 2), matrix(1, 2), ofClass(mxSINGLE_CLASS, 2, 1), scalar(1)));
  add("crossfuse", "sizeMismatch", 1, arrays(matrix(2, 2), matrix(1, 3), matrix(2, 1), scalar(1)));
  add("meshapply", "nargin", 1, arrays(matrix(1, 2)));
  add("meshapply", "nargout", 2, arrays(matrix(1, 2), matrix(1, 2), scalar(1)));
  add("meshapply", "badCode", 1, arrays(matrix(1, 2), matrix(1, 2), scalar(6)));
  add("meshapply", "selectorClass", 1,
      arrays(matrix(1, 2), matrix(1, 2), ofClass(mxSTRUCT_CLASS, 1, 1)));
  add("sampledist", "nargin", 1, arrays());
  add("sampledist", "nargout", 2, arrays(matrix(2, 2), matrix(2, 2), scalar(1)));
  add("sampledist", "badCode", 1, arrays(matrix(2, 2), matrix(2, 2), scalar(0)));
  add("sampledist", "sizeMismatch", 1, arrays(matrix(2, 2), matrix(3, 2), scalar(1)));
  add("sampledist", "inputClass", 1, arrays(sparse(2, 2), matrix(2, 2), scalar(1)));
  add("bindist", "nargin", 1, arrays(matrix(2, 2)));
  add("bindist", "nargout", 2, arrays(matrix(2, 2), matrix(2, 2), scalar(1)));
  add("bindist", "sizeMismatch", 1, arrays(matrix(2, 2), matrix(3, 2), scalar(1)));
  add("bindist", "badCode", 1, arrays(matrix(2, 2), matrix(2, 2), scalar(4)));
  add("bindist", "inputClass", 1,
      arrays(ofClass(mxDOUBLE_CLASS, 2, 2, mxCOMPLEX), matrix(2, 2), scalar(1)));
  add("mintid", "nargin", 2, arrays(scalar(1)));
  add("mintid", "nargout", 1, arrays());
  return c;
}

TEST(Identifiers, EveryErrorNamesFunctionAndReason) {
  for (const Case &c : cases()) {
    Module mod(c.module);
    CallResult r = mod.call(c.nlhs, pointers(c.args));
    ASSERT_FALSE(r.ok) << c.module << " " << c.reason;
    EXPECT_EQ(r.identifier, std::string("exactmex:") + c.module + ":" + c.reason) << r.error;
  }
}

TEST(Identifiers, OutOfMemoryForTheColumnSums) {
  Module failing("bindist_nomem", testModuleDir());
  Array H1 = matrix(2, 2), H2 = matrix(2, 3), mcode = scalar(1);
  CallResult r = failing.call(1, {H1.get(), H2.get(), mcode.get()});
  ASSERT_FALSE(r.ok);
  EXPECT_EQ(r.identifier, "exactmex:bindist:outOfMemory");
  EXPECT_EQ(r.error, "bindist: not enough memory for the column sums of H2.\n");
}

}  // namespace
