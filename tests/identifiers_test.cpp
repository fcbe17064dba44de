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
  for (const char *knn : {"sampleknn", "binknn"}) {
    add(knn, "nargin", 1, arrays(matrix(2, 2), matrix(2, 2), scalar(1)));
    add(knn, "nargout", 3, arrays(matrix(2, 2), matrix(2, 2), scalar(1), scalar(1)));
    add(knn, "badCode", 1, arrays(matrix(2, 2), matrix(2, 2), scalar(4), scalar(1)));
    add(knn, "sizeMismatch", 1, arrays(matrix(2, 2), matrix(3, 2), scalar(1), scalar(1)));
    add(knn, "badK", 2, arrays(matrix(2, 2), matrix(2, 2), scalar(1), scalar(0.5)));
    add(knn, "inputClass", 1, arrays(matrix(2, 2), sparse(2, 2), scalar(1), scalar(1)));
  }
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

// The histogram modules built with a heap that cannot provide the column
// sums raise outOfMemory and leave nothing behind, D alone or D and I.
TEST(Identifiers, OutOfMemoryForTheColumnSums) {
  Array H1 = matrix(2, 2), H2 = matrix(2, 3), mcode = scalar(1), k = scalar(2);
  struct Case {
    const char *module;
    std::vector<const mxArray *> args;
  };
  for (const Case &c : {Case{"bindist", {H1.get(), H2.get(), mcode.get()}},
                        Case{"binknn", {H1.get(), H2.get(), mcode.get(), k.get()}}})
    for (int nlhs : {1, 2}) {
      if (nlhs == 2 && std::string(c.module) == "bindist") continue;
      Module failing(std::string(c.module) + "_nomem", testModuleDir());
      const size_t live = mxHostLiveArrays();
      CallResult r = failing.call(nlhs, c.args);
      ASSERT_FALSE(r.ok) << c.module;
      EXPECT_EQ(r.identifier, std::string("exactmex:") + c.module + ":outOfMemory");
      EXPECT_EQ(r.error,
                std::string(c.module) + ": not enough memory for the column sums of H2.\n");
      EXPECT_EQ(mxHostLiveArrays(), live) << c.module << " left arrays behind";
    }
}

}  // namespace
