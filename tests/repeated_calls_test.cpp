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

#include "modules/description.h"

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
  Array complexX = ofClass(mxDOUBLE_CLASS, 2, 3, mxCOMPLEX), cell = ofClass(mxCELL_CLASS, 1, 1);
  // Each module's valid arguments with up to an output too many, with
  // special values on the way through, an argument short, a complex data
  // argument, a cell for a selector; its error cases. Whether each succeeds
  // is its model's answer.
  std::vector<Case> cases;
  std::vector<std::vector<Array>> held;
  auto hold = [&held](std::vector<Array> args) {
    held.push_back(std::move(args));
    return pointers(held.back());
  };
  for (const Description &s : descriptions()) {
    auto add = [&](int nlhs, std::vector<const mxArray *> in) {
      cases.push_back({s.module, nlhs, in, s.expect(Call{nlhs, in}).valid});
    };
    const std::vector<const mxArray *> in = hold(s.validArgs());
    for (int nlhs = 0; nlhs <= s.outputs + 1; ++nlhs) add(nlhs, in);
    for (const ErrorCase &e : s.errors) add(e.nlhs, hold(e.inputs()));
    if (s.args.empty()) continue;
    std::vector<Array> special = s.validArgs();
    for (size_t k = 0; k < special.size(); ++k)
      for (size_t e = 0; s.args[k].data() && e < mxGetNumberOfElements(special[k].get()); ++e)
        mxGetPr(special[k].get())[e] = stressValues()[e % stressValues().size()];
    add(1, hold(std::move(special)));
    std::vector<const mxArray *> complexData = in, cellSelector = in;
    complexData[0] = complexX.get();
    cellSelector[s.operationArg()] = cell.get();
    add(1, {in.begin(), in.end() - 1});
    add(1, complexData);
    add(1, cellSelector);
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
