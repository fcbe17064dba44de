// Many thousands of calls of every module, successful and failing ones mixed,
// leave the heap as they found it. LeakSanitizer only sees memory that nothing
// points to any more; this also catches memory that stays reachable and grows
// from call to call, in the normal build as well.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "support/sanitizers.h"
#ifdef EXACTMEX_ASAN
// The sanitizer runtimes of gcc and clang both export it; only clang ships a
// header for it.
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);
#endif

#include "support/arrays.h"
#include "support/signatures.h"

namespace {

using namespace test;

struct Case {
  std::string module;
  int nlhs;
  std::vector<const mxArray *> inputs;
  bool succeeds;
};

// Bytes the allocator has handed out and not had back.
bool heapInUse(size_t *bytes) {
#if defined(EXACTMEX_ASAN)
  *bytes = __sanitizer_get_current_allocated_bytes();
  return true;
#elif defined(__GLIBC__)
  *bytes = mallinfo2().uordblks;
  return true;
#else
  (void)bytes;
  return false;
#endif
}

TEST(RepeatedCalls, HeapStaysFlatOverManyCallsAndErrors) {
  Array one = scalar(1), complexX = ofClass(mxDOUBLE_CLASS, 2, 3, mxCOMPLEX);
  Array cell = ofClass(mxCELL_CLASS, 1, 1);
  // Special values on the way through, and the checks that compare
  // arguments with each other or look a code up.
  Array X = matrix(2, 3, {1, kNaN, 3, 4, -0.0, kInf}), col = matrix(2, 1, {5, 6});
  Array row = matrix(1, 3, {7, 8, 9}), seven = scalar(7);
  std::vector<Case> cases = {
      {"mintid", 2, {}, true},
      {"mintid", 2, {one.get()}, false},
      {"mintid", 1, {}, false},
      {"lanefuse", 1, {X.get(), col.get(), one.get(), one.get()}, true},
      {"lanefuse", 1, {X.get(), row.get(), one.get(), one.get()}, false},
      {"lanefuse", 1, {X.get(), col.get(), seven.get(), one.get()}, false},
      {"crossfuse", 0, {X.get(), row.get(), col.get(), one.get()}, true},
      {"crossfuse", 1, {X.get(), col.get(), col.get(), one.get()}, false},
      {"meshapply", 1, {X.get(), row.get(), one.get()}, true},
      {"meshapply", 1, {X.get(), row.get(), seven.get()}, false},
      {"sampledist", 1, {X.get(), X.get(), one.get()}, true},
      {"sampledist", 1, {X.get(), row.get(), one.get()}, false},
      {"bindist", 1, {X.get(), X.get(), one.get()}, true},
      {"bindist", 1, {X.get(), X.get(), seven.get()}, false},
  };
  // Each module with arguments: valid calls with one output and with all it
  // may ask for, and calls with an output too many, an argument short, a
  // complex data argument, a cell for a selector.
  std::vector<std::vector<Array>> valid;
  for (const Signature &s : signatures()) {
    if (s.args.empty()) continue;
    valid.push_back(s.validArgs());
    const std::vector<const mxArray *> in = pointers(valid.back());
    std::vector<const mxArray *> complexData = in, cellSelector = in;
    complexData[0] = complexX.get();
    cellSelector[s.operationArg()] = cell.get();
    cases.push_back({s.module, 1, in, true});
    cases.push_back({s.module, s.outputs, in, true});
    cases.push_back({s.module, s.outputs + 1, in, false});
    cases.push_back({s.module, 1, {in.begin(), in.end() - 1}, false});
    cases.push_back({s.module, 1, complexData, false});
    cases.push_back({s.module, 1, cellSelector, false});
  }
  std::map<std::string, std::unique_ptr<Module>> modules;
  for (const Case &c : cases)
    if (!modules.count(c.module)) modules[c.module] = std::make_unique<Module>(c.module);

  size_t unexpected = 0;
  auto round = [&] {
    for (const Case &c : cases)
      unexpected += modules[c.module]->call(c.nlhs, c.inputs).ok != c.succeeds;
  };
  for (int k = 0; k < 10; ++k) round();  // the host's per-call state reaches its size
  const size_t live = mxHostLiveArrays();
  size_t before = 0, after = 0;
  if (!heapInUse(&before)) GTEST_SKIP() << "no way to read the heap in use on this platform";
  const int rounds = 2500;
  for (int k = 0; k < rounds; ++k) round();
  ASSERT_TRUE(heapInUse(&after));

  EXPECT_EQ(unexpected, 0u);
  EXPECT_EQ(mxHostLiveArrays(), live);
  // A leak of a single byte per call exceeds this; allocator caches stay within it.
  EXPECT_LT(after, before + size_t(rounds) * cases.size() / 2)
      << "heap grew from " << before << " to " << after << " bytes";
}

}  // namespace
