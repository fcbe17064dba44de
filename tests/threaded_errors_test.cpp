// Errors raised while a module's worker threads wait between calls, in the
// host's error mode of this run (tests/CMakeLists.txt runs this suite in
// both): every kind of argument error a module's description allows, and
// running out of memory, leave nothing behind, the workers parked for the
// next call and the module's answer what it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modules/description.h"
#include "support/arrays.h"
#include "support/threads.h"

namespace {

using namespace test;

// A failing call and the reason its error must give.
struct Failing {
  int nlhs;
  std::vector<const mxArray *> args;
  std::string reason;
};

// What the description says each argument may not be, one argument at a time:
// a call short of an argument or asking an output too many, a complex or
// too large data argument, a cell for a selector, a fraction for a count.
std::vector<Failing> argumentErrors(const Description &s, const std::vector<const mxArray *> &valid,
                                    const std::vector<const mxArray *> &wrong) {
  std::vector<Failing> f = {{s.outputs + 1, valid, "nargout"},
                            {1, {valid.begin(), valid.end() - 1}, "nargin"}};
  for (size_t k = 0; k < s.args.size(); ++k) {
    const Argument &a = s.args[k];
    const auto with = [&](size_t w, const char *reason) {
      std::vector<const mxArray *> args = valid;
      args[k] = wrong[w];
      f.push_back({1, args, reason});
    };
    if (a.data()) with(0, "inputClass"), with(1, "tooLarge");
    if (a.selector) with(2, "selectorClass");
    if (a.count) with(3, "badK");
  }
  return f;
}

// A call of a module large enough to share its blocks, on each kind of
// block loop; the histogram modules as built with column sums the heap
// cannot provide, which mcode 1 needs and mcode 2 does not.
struct LargeCall {
  std::string module, file;
  std::vector<Array> args;
  int outOfMemoryCode;  // the code that runs out of memory; 0: none
};

std::vector<LargeCall> largeCalls() {
  std::mt19937_64 rng(31);
  const auto random = [&](size_t m, size_t n) { return matrix(m, n, specialValues(rng, m * n)); };
  std::vector<LargeCall> calls;
  calls.push_back(
      {"lanefuse", "", arrays(random(2050, 2049), random(2050, 1), scalar(1), scalar(2)), 0});
  calls.push_back({"crossfuse", "",
                   arrays(random(2050, 2049), random(1, 2049), random(2050, 1), scalar(1)), 0});
  calls.push_back({"meshapply", "", arrays(random(2051, 1), random(1, 2050), scalar(3)), 0});
  calls.push_back({"sampledist", "", arrays(random(61, 301), random(61, 299), scalar(1)), 0});
  calls.push_back(
      {"sampleknn", "", arrays(random(61, 301), random(61, 299), scalar(2), scalar(3)), 0});
  calls.push_back(
      {"bindist", "bindist_nomem", arrays(random(50, 301), random(50, 299), scalar(2)), 1});
  calls.push_back({"binknn", "binknn_nomem",
                   arrays(random(50, 301), random(50, 299), scalar(2), scalar(3)), 1});
  return calls;
}

// Whether two calls' outputs hold the same elements (any NaN for a NaN).
std::string sameOutputs(const CallResult &got, const CallResult &want) {
  if (!got.ok) return got.error;
  for (size_t k = 0; k < want.outputs.size(); ++k) {
    const mxArray *w = want.outputs[k].get();
    const std::string mismatch =
        firstMismatch(got.outputs[k].get(), mxGetM(w), mxGetN(w), values(w));
    if (!mismatch.empty()) return "output " + std::to_string(k) + ": " + mismatch;
  }
  return "";
}

TEST(ThreadedErrors, ErrorsLeaveTheWorkersParkedAndTheAnswerAsItWas) {
  ThreadsVariable threads("2");
  const mwSize beyond[2] = {mwSize(1) << 31, 1};
  const Array complexData = ofClass(mxDOUBLE_CLASS, 2, 2, mxCOMPLEX);
  const Array tooLarge(mxHostCreateShapeOnly(mxDOUBLE_CLASS, 2, beyond));
  const Array cell = ofClass(mxCELL_CLASS, 1, 1), half = scalar(0.5);
  const std::vector<const mxArray *> wrong = {complexData.get(), tooLarge.get(), cell.get(),
                                              half.get()};
  for (const LargeCall &c : largeCalls()) {
    const Description &s = description(c.module);
    const std::vector<const mxArray *> valid = pointers(c.args);
    std::vector<Failing> failing = argumentErrors(s, valid, wrong);
    const Array code = scalar(c.outOfMemoryCode);
    if (c.outOfMemoryCode) {
      std::vector<const mxArray *> args = valid;
      args[s.operationArg()] = code.get();
      for (int nlhs = 1; nlhs <= s.outputs; ++nlhs) failing.push_back({nlhs, args, "outOfMemory"});
    }
    const NewWorkers workers;
    {
      Module mod(c.file.empty() ? c.module : c.file,
                 c.file.empty() ? moduleDir() : testModuleDir());
      const CallResult before = mod.call(s.outputs, valid);
      ASSERT_TRUE(before.ok) << c.module << ": " << before.error;
      const int started = workers.count();
      if (NewWorkers::countable()) {
        EXPECT_EQ(started, 1) << c.module << " did not share its blocks";
      }
      for (const Failing &f : failing) {
        const size_t live = mxHostLiveArrays(), blocks = mxHostLiveBlocks();
        const CallResult r = mod.call(f.nlhs, f.args);
        EXPECT_EQ(r.identifier, "exactmex:" + c.module + ":" + f.reason) << r.error;
        for (const Array &out : r.outputs) EXPECT_EQ(out, nullptr) << c.module << " " << f.reason;
        EXPECT_EQ(mxHostLiveArrays(), live) << c.module << " " << f.reason;
        EXPECT_EQ(mxHostLiveBlocks(), blocks) << c.module << " " << f.reason;
      }
      EXPECT_EQ(workers.count(), started) << c.module << ": workers lost or added";
      EXPECT_EQ(sameOutputs(mod.call(s.outputs, valid), before), "") << c.module;
    }
    if (NewWorkers::countable()) {
      EXPECT_EQ(workers.settledAt(0), 0) << c.module << ": workers left after unloading";
    }
  }
  if (!NewWorkers::countable()) GTEST_SKIP() << kUncounted << "; the rest was checked";
}

}  // namespace
