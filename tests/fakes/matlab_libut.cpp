#include "fakes/matlab_libut.h"

#include <atomic>

namespace {

std::atomic<long> interruptAt{0}, polls{0}, pollsOffThread{0}, pollsWhileDisabled{0};
std::atomic<bool> enabled{false}, pending{false};
thread_local bool armingThread = false;

}  // namespace

extern "C" {

bool utIsInterruptPending(void) {
  if (!armingThread) ++pollsOffThread;
  if (!enabled) ++pollsWhileDisabled;
  const long poll = ++polls, at = interruptAt.load();
  if (poll == at && enabled) pending = true;
  return pending;
}

bool utSetInterruptEnabled(bool on) { return enabled.exchange(on); }

void fakeUtInterruptAt(long poll, bool on) {
  armingThread = true;
  interruptAt = poll;
  enabled = on;
  pending = false;
  polls = pollsOffThread = pollsWhileDisabled = 0;
}

long fakeUtPolls(void) { return polls; }
long fakeUtPollsOffThread(void) { return pollsOffThread; }
long fakeUtPollsWhileDisabled(void) { return pollsWhileDisabled; }
bool fakeUtEnabled(void) { return enabled; }
bool fakeUtPending(void) { return pending; }
}
