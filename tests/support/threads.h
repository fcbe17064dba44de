// The module's worker threads as a test sees them, and EXACTMEX_THREADS.
#ifndef EXACTMEX_TESTS_THREADS_H
#define EXACTMEX_TESTS_THREADS_H

#include <set>
#include <utility>

namespace test {

// Sets EXACTMEX_THREADS for the calls made while it lives ("" unsets it).
class ThreadsVariable {
 public:
  explicit ThreadsVariable(const char *value) { set(value); }
  ~ThreadsVariable() { set(""); }
  void set(const char *value);
};

// The module workers started since this was made: threads named as the
// pool names them, less those listed when it was made, which belong to
// other pools or are still leaving. Linux lists a process's threads in
// /proc; a thread is known there by its id and start time (ids are reused).
class NewWorkers {
 public:
  NewWorkers();

  // Whether this system lets a test count them.
  static bool countable();

  int count() const;

  // The count once it has fallen to want: a joined thread stays listed until
  // the system has ended it, which under load or emulation takes a while.
  // The count only falls while no call is made, so this waits for that
  // alone, up to a minute.
  int settledAt(int want) const;

 private:
  using Thread = std::pair<long, unsigned long long>;
  static std::set<Thread> workers();
  const std::set<Thread> before_;
};

// Why a test that counts workers is skipped where they cannot be counted.
extern const char kUncounted[];

}  // namespace test

#endif
