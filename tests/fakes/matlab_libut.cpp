#include "fakes/matlab_libut.h"

#include <atomic>

namespace {

std::atomic<long> interruptAt{0}, polls{0}, pollsOffThread{0};
thread_local bool armingThread = false;

}  // namespace

extern "C" {

bool utIsInterruptPending(void) {
  if (!armingThread) ++pollsOffThread;
  const long poll = ++polls, at = interruptAt.load();
  return at > 0 && poll >= at;
}

void fakeUtInterruptAt(long poll) {
  armingThread = true;
  interruptAt = poll;
  polls = 0;
  pollsOffThread = 0;
}

long fakeUtPolls(void) { return polls; }
long fakeUtPollsOffThread(void) { return pollsOffThread; }
}
