// Every error a module raises carries the identifier
// exactmex:<function>:<reason>, the same reason for the same kind of fault
// in every module, so callers can catch errors by identifier. Every error
// case of every module's description fails with its identifier and its
// message, storing no output and leaving no array behind; a module's cases
// show the order of its checks.
#include <gtest/gtest.h>

#include <sstream>

#include "modules/description.h"

namespace {

using namespace test;

TEST(Identifiers, EveryErrorNamesFunctionAndReason) {
  for (const Description &s : descriptions()) {
    Module mod(s.module);
    for (const ErrorCase &c : s.errors) {
      const std::vector<Array> args = c.inputs();
      const size_t live = mxHostLiveArrays();
      CallResult r = mod.call(c.nlhs, pointers(args));
      const std::string what = s.module + " " + c.reason + " (" + c.args + ")";
      ASSERT_FALSE(r.ok) << what;
      EXPECT_EQ(r.identifier, "exactmex:" + s.module + ":" + c.reason) << what;
      EXPECT_EQ(r.error, c.message) << what;
      for (const Array &out : r.outputs) EXPECT_EQ(out, nullptr) << what;
      r.outputs.clear();
      EXPECT_EQ(mxHostLiveArrays(), live) << what;
    }
  }
}

// The modules of column sums (tests/fakes), built with a heap that cannot
// provide them, raise outOfMemory and leave nothing behind, with each
// number of outputs.
TEST(Identifiers, OutOfMemoryForTheColumnSums) {
  std::istringstream faked(EXACTMEX_COLUMN_SUM_MODULES);
  size_t checked = 0;
  for (std::string module; std::getline(faked, module, ',');) {
    const Description &s = description(module);
    const std::vector<Array> args = s.validArgs();
    Module failing(module + "_nomem", testModuleDir());
    for (int nlhs = 1; nlhs <= s.outputs; ++nlhs) {
      const size_t live = mxHostLiveArrays();
      CallResult r = failing.call(nlhs, pointers(args));
      ASSERT_FALSE(r.ok) << module;
      EXPECT_EQ(r.identifier, "exactmex:" + module + ":outOfMemory");
      EXPECT_EQ(r.error,
                module + ": not enough memory for the column sums of " + s.args[1].name + ".\n");
      EXPECT_EQ(mxHostLiveArrays(), live) << module << " left arrays behind";
      ++checked;
    }
  }
  EXPECT_GT(checked, 0u);
}

}  // namespace
