// Calls of the modules in a process that looks like MATLAB to them: this
// program is linked with a stand-in for MATLAB's libut (tests/fakes), which
// the modules find at run time as they find MATLAB's, and our host answers
// maxNumCompThreads through mexCallMATLABWithTrap. Ctrl-C stops a long call
// within one block, with nothing left allocated and no output stored; the
// call polls only with interrupts enabled, leaves them as it found them and
// leaves MATLAB's pending Ctrl-C for MATLAB. A call uses one thread when
// MATLAB allows one, unless EXACTMEX_THREADS says more, and its default
// threads when MATLAB cannot say.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#if defined(__linux__)
#include <sched.h>
#endif

#include "fakes/matlab_libut.h"
#include "support/arrays.h"
#include "support/threads.h"

namespace {

using namespace test;

// maxNumCompThreads as this MATLAB answers it, how often it was asked, and
// how often on a thread other than the test's.
std::atomic<int> compThreads{0}, asked{0}, askedOffThread{0};
std::thread::id testThread;

void maxNumCompThreads(int, mxArray *plhs[], int, const mxArray *[]) {
  ++asked;
  askedOffThread += std::this_thread::get_id() != testThread;
  plhs[0] = matrix(1, 1, {double(compThreads)}).release();
}

// maxNumCompThreads failing, as a warning made an error would.
void failingMaxNumCompThreads(int, mxArray *[], int, const mxArray *[]) {
  ++asked;
  mexErrMsgIdAndTxt("MATLAB:maxNumCompThreads:deprecated", "maxNumCompThreads will be removed.");
}

class InMatlab : public testing::Test {
 protected:
  void SetUp() override {
    testThread = std::this_thread::get_id();
    mexHostDefineFunction("maxNumCompThreads", maxNumCompThreads);
    compThreads = 2;
    asked = askedOffThread = 0;
    fakeUtInterruptAt(0, false);
  }
  void TearDown() override { mexHostDefineFunction("maxNumCompThreads", nullptr); }
  ThreadsVariable threads{""};
};

// bindist and binknn over 16000 columns of H2, a block of about 400 of them
// between two questions: some 40 blocks on any number of threads. Ctrl-C
// comes at the third question, interrupts disabled as the call finds them:
// the call enables them, stops there with the blocks under way on other
// threads, disables them again and leaves the Ctrl-C pending, and the
// module works on, its workers waiting for the next call.
TEST_F(InMatlab, CtrlCStopsALongCallWithinOneBlock) {
  const size_t d = 100, N1 = 500, N2 = 16000;
  const Array H1 = matrix(d, N1, std::vector<double>(d * N1, 1.0));
  const Array H2 = matrix(d, N2, std::vector<double>(d * N2, 2.0));
  const Array mcode = scalar(1), k = scalar(3);
  for (const char *name : {"bindist", "binknn"}) {
    const NewWorkers workers;
    {
      Module mod(name);
      std::vector<const mxArray *> args = {H1.get(), H2.get(), mcode.get()};
      if (std::string(name) == "binknn") args.push_back(k.get());
      for (const char *count : {"1", "2"}) {
        threads.set(count);
        const std::string where = std::string(name) + " on " + count + " threads";
        const size_t live = mxHostLiveArrays();
        fakeUtInterruptAt(3, false);
        CallResult r = mod.call(1, args);
        EXPECT_FALSE(r.ok) << where;
        EXPECT_EQ(r.identifier, std::string("exactmex:") + name + ":interrupted");
        EXPECT_EQ(r.error, std::string(name) + ": interrupted by Ctrl-C.\n");
        EXPECT_EQ(r.outputs[0], nullptr);
        EXPECT_EQ(fakeUtPolls(), 3) << "blocks run after Ctrl-C, " << where;
        EXPECT_EQ(fakeUtPollsOffThread(), 0);
        EXPECT_EQ(fakeUtPollsWhileDisabled(), 0) << where;
        EXPECT_FALSE(fakeUtEnabled()) << "interrupts left enabled, " << where;
        EXPECT_TRUE(fakeUtPending()) << "MATLAB's Ctrl-C taken away, " << where;
        EXPECT_EQ(mxHostLiveArrays(), live);

        // Enabled before the call: still enabled after it.
        fakeUtInterruptAt(0, true);
        std::vector<const mxArray *> again = args;
        again[1] = H1.get();
        r = mod.call(1, again);
        ASSERT_TRUE(r.ok) << r.error;
        const size_t rows = again.size() == 4 ? 3 : N1;
        EXPECT_EQ(values(r.outputs[0].get()), std::vector<double>(rows * N1, 0.0)) << where;
        EXPECT_TRUE(fakeUtEnabled()) << where;
      }
      if (NewWorkers::countable()) {
        EXPECT_EQ(workers.count(), 1) << name << ": the worker is not waiting for calls";
      }
    }
    if (NewWorkers::countable()) {
      EXPECT_EQ(workers.settledAt(0), 0) << name;
    }
  }
}

// sampledist of 301 by 299 samples of 61: just large enough to share, one
// block of work on a single thread (no question between blocks).
TEST_F(InMatlab, ThreadsFollowMaxNumCompThreads) {
  Module sampledist("sampledist");
  const size_t d = 61, N1 = 301, N2 = 299;
  std::mt19937_64 rng(21);
  const std::vector<double> A = specialValues(rng, d * N1), B = specialValues(rng, d * N2);
  const std::vector<Array> large = arrays(matrix(d, N1, A), matrix(d, N2, B), scalar(1));
  const std::vector<double> want = oracle::sampledist(A.data(), N1, B.data(), N2, d, 1);
  const NewWorkers workers;

  const std::vector<Array> small = arrays(matrix(2, 3), matrix(2, 4), scalar(1));
  ASSERT_TRUE(sampledist.call(1, pointers(small)).ok);
  EXPECT_EQ(asked, 0) << "a call too small to share asks nothing";

  compThreads = 1;
  CallResult r = sampledist.call(1, pointers(large));
  EXPECT_EQ(firstMismatch(r.outputs[0].get(), N1, N2, want), "") << r.error;
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(askedOffThread, 0);
  EXPECT_EQ(fakeUtPolls(), 0) << "the call's one block was shared";
  if (NewWorkers::countable()) {
    EXPECT_EQ(workers.count(), 0) << "workers started, one allowed";
  }

  threads.set("2");
  r = sampledist.call(1, pointers(large));
  EXPECT_EQ(firstMismatch(r.outputs[0].get(), N1, N2, want), "") << r.error;
  EXPECT_EQ(asked, 1) << "EXACTMEX_THREADS decides alone";
  EXPECT_EQ(fakeUtPollsWhileDisabled(), 0);
  EXPECT_FALSE(fakeUtEnabled());
  if (!NewWorkers::countable()) GTEST_SKIP() << kUncounted << "; the rest was checked";
  EXPECT_EQ(workers.count(), 1);
}

// A maxNumCompThreads that raises, or none at all, cannot end the call: it
// runs on as many threads as when MATLAB sets no lower limit (an answer of
// 1024), with the definition's result.
TEST_F(InMatlab, ThreadsFallBackToTheDefaultWhenMatlabCannotSay) {
  const size_t d = 61, N1 = 301, N2 = 299;
  std::mt19937_64 rng(22);
  const std::vector<double> A = specialValues(rng, d * N1), B = specialValues(rng, d * N2);
  const std::vector<Array> large = arrays(matrix(d, N1, A), matrix(d, N2, B), scalar(2));
  const std::vector<double> want = oracle::sampledist(A.data(), N1, B.data(), N2, d, 2);
  // Workers one call starts in a module loaded for it alone.
  const auto workersOfOneCall = [&](mexFunctionPtr answer) {
    mexHostDefineFunction("maxNumCompThreads", answer);
    const NewWorkers workers;
    int started;
    {
      Module sampledist("sampledist");
      const size_t live = mxHostLiveArrays();
      {
        CallResult r = sampledist.call(1, pointers(large));
        EXPECT_EQ(firstMismatch(r.outputs[0].get(), N1, N2, want), "") << r.error;
      }
      EXPECT_EQ(mxHostLiveArrays(), live);
      started = workers.count();
    }
    if (NewWorkers::countable()) {
      EXPECT_EQ(workers.settledAt(0), 0);
    }
    return started;
  };
  compThreads = 1024;
  const int unlimited = workersOfOneCall(maxNumCompThreads);
  EXPECT_EQ(workersOfOneCall(failingMaxNumCompThreads), unlimited);
  EXPECT_EQ(workersOfOneCall(nullptr), unlimited);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(askedOffThread, 0);
  if (!NewWorkers::countable()) GTEST_SKIP() << kUncounted << "; the results were checked";
#if defined(__linux__)
  cpu_set_t cpus;
  ASSERT_EQ(sched_getaffinity(0, sizeof cpus, &cpus), 0);
  if (CPU_COUNT(&cpus) > 1) {
    EXPECT_GE(unlimited, 1) << "no worker where " << CPU_COUNT(&cpus) << " CPUs may run";
  }
#endif
}

}  // namespace
