// The module's worker threads as a test sees them, and EXACTMEX_THREADS.
#ifndef EXACTMEX_TESTS_THREADS_H
#define EXACTMEX_TESTS_THREADS_H

namespace test {

// Sets EXACTMEX_THREADS for the calls made while it lives ("" unsets it).
class ThreadsVariable {
 public:
  explicit ThreadsVariable(const char *value) { set(value); }
  ~ThreadsVariable() { set(""); }
  void set(const char *value);
};

// Worker threads of this process, by the name the pool gives them, where
// the system tells (Linux); -1 elsewhere.
int workerCount();

// The worker count once it settles at want: a joined thread may stay listed
// a moment (workersSettledAt(0) is the count a test starts from, without the
// workers of modules unloaded before it). want itself where the system does
// not tell.
int workersSettledAt(int want);

}  // namespace test

#endif
