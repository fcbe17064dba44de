// Large calls of the modules through the host, whose blocks go to the
// modules' worker threads: the definition's result whatever EXACTMEX_THREADS
// says, read at every call; the workers joined when the host unloads the
// module, also after many cycles of loading, calling and unloading; host
// threads calling at once; a call still whole when the system refuses some
// workers; and a forked child, which inherits a pool without its threads.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <utility>

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "modules/description.h"
#include "support/threads.h"

namespace {

using namespace test;

// A call large enough to be shared and its result by the definition (the
// model of the module's description).
struct LargeCall {
  std::string module;
  std::vector<Array> inputs;
  std::vector<double> want;
  Element element;
  size_t m, n;
};

LargeCall large(const char *module, std::vector<Array> inputs) {
  const Expected e = description(module).expect(Call{1, pointers(inputs)});
  return {module, std::move(inputs), e.values(), e.element, e.m, e.n};
}

// Just over the work that is shared, for each module: the broadcast modules
// and meshapply, and the pairwise distances; each list made once.
std::vector<LargeCall> makeBroadcastCalls() {
  std::vector<LargeCall> calls;
  std::mt19937_64 rng(15);
  auto values = [&](size_t count) { return specialValues(rng, count); };
  {
    const size_t m = 2050, n = 2049;
    const std::vector<double> X = values(m * n), col = values(m), row = values(n);
    calls.push_back(
        large("lanefuse", arrays(matrix(m, n, X), matrix(m, 1, col), scalar(1), scalar(1))));
    calls.push_back(
        large("lanefuse", arrays(matrix(m, n, X), matrix(1, n, row), scalar(2), scalar(3))));
    calls.push_back(large(
        "crossfuse", arrays(matrix(m, n, X), matrix(1, n, row), matrix(m, 1, col), scalar(1))));
  }
  const size_t m = 2051, n = 2050;
  const std::vector<double> x = values(m), y = values(n);
  for (int op : {3, 5})
    calls.push_back(large("meshapply", arrays(matrix(m, 1, x), matrix(1, n, y), scalar(op))));
  return calls;
}

// sampledist codes 1 and 2, then bindist mcodes 1 to 3.
std::vector<LargeCall> makePairwiseCalls() {
  std::vector<LargeCall> calls;
  std::mt19937_64 rng(16);
  auto values = [&](size_t count) { return specialValues(rng, count); };
  const size_t N1 = 301, N2 = 299;
  const std::vector<double> A = values(61 * N1), B = values(61 * N2);
  for (int code : {1, 2})
    calls.push_back(
        large("sampledist", arrays(matrix(61, N1, A), matrix(61, N2, B), scalar(code))));
  std::vector<double> H1 = values(50 * N1), H2 = values(50 * N2);
  for (std::vector<double> *h : {&H1, &H2})
    for (double &x : *h) x = std::isnan(x) ? x : std::fabs(x);
  for (int mcode : {1, 2, 3})
    calls.push_back(
        large("bindist", arrays(matrix(50, N1, H1), matrix(50, N2, H2), scalar(mcode))));
  return calls;
}

const std::vector<LargeCall> &broadcastCalls() {
  static const std::vector<LargeCall> calls = makeBroadcastCalls();
  return calls;
}

const std::vector<LargeCall> &pairwiseCalls() {
  static const std::vector<LargeCall> calls = makePairwiseCalls();
  return calls;
}

// The call through mod, checked against the definition: "" when right.
std::string check(const Module &mod, const LargeCall &c) {
  CallResult r = mod.call(1, pointers(c.inputs));
  if (!r.ok) return r.error;
  return firstMismatch(r.outputs[0].get(), c.m, c.n, c.want, c.element);
}

TEST(ThreadedCalls, ResultsDoNotDependOnTheThreadCount) {
  ThreadsVariable threads("");
  for (const auto *calls : {&broadcastCalls(), &pairwiseCalls()})
    for (const LargeCall &c : *calls) {
      Module mod(c.module);
      for (const char *count : {"1", "2", "3", "7", "16"}) {
        threads.set(count);
        EXPECT_EQ(check(mod, c), "") << c.module << " on " << count << " threads";
      }
    }
}

// The pool grows to what a call asks for and keeps its workers between
// calls; unloading the module joins them all.
TEST(ThreadedCalls, ThreadsVariableIsReadAtEveryCallAndUnloadJoins) {
  if (!NewWorkers::countable()) GTEST_SKIP() << kUncounted;
  const std::vector<LargeCall> &calls = pairwiseCalls();
  const LargeCall &c = calls[0];  // sampledist
  ThreadsVariable threads("1");
  const NewWorkers workers;
  {
    Module mod(c.module);
    EXPECT_EQ(check(mod, c), "");
    EXPECT_EQ(workers.count(), 0) << "one thread asked for";
    threads.set("4");
    EXPECT_EQ(check(mod, c), "");
    EXPECT_EQ(workers.count(), 3);
    threads.set("2");
    EXPECT_EQ(check(mod, c), "");
    EXPECT_EQ(workers.count(), 3) << "workers stay for the next call";
  }
  EXPECT_EQ(workers.settledAt(0), 0) << "workers left after unloading";
}

// Where the workers cannot be counted, the cycles still check every result
// and that no worker runs on in an unloaded module.
TEST(ThreadedCalls, LoadCallUnloadCyclesLeaveNoThreads) {
  const std::vector<LargeCall> &calls = pairwiseCalls();
  ThreadsVariable threads("3");
  const NewWorkers workers;
  for (int cycle = 0; cycle < 100; ++cycle) {
    const LargeCall &c = calls[cycle % 5];  // sampledist and bindist
    {
      Module mod(c.module);
      ASSERT_EQ(check(mod, c), "") << "cycle " << cycle;
    }
    if (NewWorkers::countable()) {
      ASSERT_EQ(workers.settledAt(0), 0) << "cycle " << cycle;
    }
  }
  if (!NewWorkers::countable()) GTEST_SKIP() << kUncounted << "; the results were checked";
}

// Each host thread gets its own call's result, whether its call shared the
// pool or ran alone because another call held it.
TEST(ThreadedCalls, HostThreadsCallingAtOnceGetTheirOwnResults) {
  const std::vector<LargeCall> &calls = pairwiseCalls();
  ThreadsVariable threads("3");
  Module sampledist("sampledist"), bindist("bindist");
  std::atomic<int> wrong{0};
  std::vector<std::thread> hosts;
  for (int k = 0; k < 4; ++k)
    hosts.emplace_back([&, k] {
      for (int round = 0; round < 4; ++round) {
        const LargeCall &c = calls[(k + round) % 5];
        wrong += check(c.module == "bindist" ? bindist : sampledist, c) != "";
      }
    });
  for (std::thread &t : hosts) t.join();
  EXPECT_EQ(wrong, 0);
}

// A test build whose second and later workers the system refuses.
TEST(ThreadedCalls, RefusedWorkersLeaveTheirShareToTheOthers) {
  const std::vector<LargeCall> &calls = pairwiseCalls();
  ThreadsVariable threads("4");
  const NewWorkers workers;
  Module mod("sampledist_one_worker", testModuleDir());
  for (int code = 0; code < 2; ++code) EXPECT_EQ(check(mod, calls[code]), "");
  if (!NewWorkers::countable()) GTEST_SKIP() << kUncounted << "; the results were checked";
  EXPECT_EQ(workers.count(), 1);
}

#if !defined(_WIN32)
// A child of fork has none of its parent's workers: it makes its own.
TEST(ForkedCalls, ChildMakesItsOwnWorkers) {
#if defined(EXACTMEX_UNDER_QEMU_USER)
  GTEST_SKIP() << "qemu user emulation cannot fork a threaded process reliably; run natively";
#endif
  const std::vector<LargeCall> &calls = pairwiseCalls();
  const LargeCall &c = calls[0];
  ThreadsVariable threads("3");
  Module mod(c.module);
  ASSERT_EQ(check(mod, c), "");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(check(mod, c) == "" && check(mod, c) == "" ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_EQ(check(mod, c), "");
}
#endif

}  // namespace
