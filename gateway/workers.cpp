// The module's pool of worker threads. One call at a time shares it: the
// caller posts its blocks, the workers and the caller take them one by one
// under the pool's lock, and the caller waits until every worker that joined
// has left the call. A second thread calling meanwhile runs alone.
#include "gateway/workers.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#if defined(_WIN32)
#if !defined(_WIN32_WINNT) || _WIN32_WINNT < 0x0601
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601  // GetActiveProcessorCount
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#include <unistd.h>
#endif

namespace gateway {

namespace {

// More threads than this are never asked for, whatever EXACTMEX_THREADS says.
constexpr int kMostThreads = 1024;

int usableCpus() {
#if defined(_WIN32)
  // A process limited to some CPUs of its group sees them in its mask;
  // otherwise it may use every active CPU, of every group.
  DWORD_PTR process = 0, system = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != system) {
    int count = 0;
    for (; process; process &= process - 1) ++count;
    return count > 0 ? count : 1;
  }
  const DWORD active = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  return active > 0 ? int(active) : 1;
#else
#if defined(__linux__)
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    const int count = CPU_COUNT(&set);
    if (count > 0) return count;
  }
#endif
  // No affinity mask to read, or more CPUs than a cpu_set_t holds.
  const long online = sysconf(_SC_NPROCESSORS_ONLN);
  return online > 0 ? int(online < kMostThreads ? online : kMostThreads) : 1;
#endif
}

// The process a pool belongs to. A child made by fork inherits the pool's
// memory but none of its threads.
long processId() {
#if defined(_WIN32)
  return 0;  // no fork
#else
  return long(getpid());
#endif
}

// One call's blocks, handed out in order under the pool's lock.
struct Job {
  Grid grid;
  int64_t count;  // blocks in all
  void (*run)(void *, const Block &);
  void *body;
  int64_t next;  // first block not yet handed out
  int seats;     // workers that may still join
  int working;   // workers in the call now
  bool stop;     // poll said stop: hand out nothing more
};

// The next block of the job, or false when none is left.
bool take(Job &job, Block *block) {
  if (job.stop || job.next >= job.count) return false;
  *block = blockAt(job.grid, job.next++);
  return true;
}

struct Pool {
  explicit Pool(long owner) : pid(owner) {}
  const long pid;  // the process whose threads these are
  std::mutex lock;
  std::condition_variable wake;  // workers: a job was posted, or quit
  std::condition_variable left;  // the caller: a worker left the job
  std::vector<std::thread> threads;
  Job *job = nullptr;
  uint64_t posted = 0;  // jobs posted so far: a worker joins each one once
  bool quit = false;
  std::atomic<bool> busy{false};  // a call holds the pool
};

void work(Pool *pool) {
  std::unique_lock<std::mutex> held(pool->lock);
  uint64_t seen = 0;
  for (;;) {
    pool->wake.wait(held, [&] { return pool->quit || (pool->job && pool->posted != seen); });
    if (pool->quit) return;
    seen = pool->posted;
    Job &job = *pool->job;
    if (job.seats == 0) continue;
    --job.seats;
    ++job.working;
    Block block;
    while (take(job, &block)) {
      held.unlock();
      job.run(job.body, block);
      held.lock();
    }
    // A kernel that streams ends its call with a store fence; the lock
    // handed over here then orders its stores before the caller's reads.
    if (--job.working == 0) pool->left.notify_all();
  }
}

// The pool of this process, made at the first call that needs one. A pool
// inherited through fork is left as it is: its threads do not exist here,
// and its lock may be held forever by one of them.
std::atomic<Pool *> current{nullptr};

Pool *poolOfThisProcess() {
  Pool *pool = current.load(std::memory_order_acquire);
  const long pid = processId();
  if (pool && pool->pid == pid) return pool;
  Pool *fresh = new (std::nothrow) Pool(pid);
  if (!fresh) return nullptr;
  if (current.compare_exchange_strong(pool, fresh, std::memory_order_acq_rel)) return fresh;
  delete fresh;  // another thread made one first
  return pool && pool->pid == pid ? pool : nullptr;
}

// Starts workers until the pool has `wanted`, or the system refuses one.
// Called with the pool's lock held.
void grow(Pool *pool, int wanted) {
  while (int(pool->threads.size()) < wanted) {
#if defined(WORKERS_START_AT_MOST)
    // Test builds: the system refuses every worker past this many.
    if (pool->threads.size() >= WORKERS_START_AT_MOST) return;
#endif
    try {
      pool->threads.emplace_back(work, pool);
    } catch (...) {  // std::system_error, or no memory for the list
      return;
    }
#if defined(__linux__)
    // Named for whoever lists the host's threads (top -H, a debugger).
    pthread_setname_np(pool->threads.back().native_handle(), "exactmex worker");
#endif
  }
}

// Keeps this module loaded until the process ends. Where no host exit
// function joins the workers before an unload (an oct-file on Windows, see
// ReleaseAtUnload), unloading would leave them asleep in code that is gone.
void pinModule() {
#if defined(_WIN32)
  HMODULE self;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCSTR>(&pinModule), &self);
#endif
}

// Joins the workers of this process's pool at unload where that is safe.
// Windows runs this under its loader lock, which a thread needs to end:
// there the host's exit function does it, or the module stays loaded.
struct ReleaseAtUnload {
  ~ReleaseAtUnload() {
#if !defined(_WIN32)
    releaseWorkers();
#endif
  }
} releaseAtUnload;

}  // namespace

int threadsWanted(const Poll &poll) {
#if defined(_WIN32)
  // The process's environment, which SetEnvironmentVariable changes: the
  // C runtime's copy, which getenv reads, may be another runtime's than the
  // host's and miss a change the host made.
  char value[32];
  const DWORD length = GetEnvironmentVariableA("EXACTMEX_THREADS", value, sizeof value);
  const char *text = length > 0 && length < sizeof value ? value : nullptr;
#else
  const char *text = std::getenv("EXACTMEX_THREADS");
#endif
  if (text && *text) {
    char *end = nullptr;
    errno = 0;
    const long n = std::strtol(text, &end, 10);
    if (errno == 0 && *end == '\0' && n >= 1) return n < kMostThreads ? int(n) : kMostThreads;
  }
  int threads = usableCpus();
  const int limit = poll.threadLimit ? poll.threadLimit(poll.ctx) : 0;
  if (limit >= 1 && limit < threads) threads = limit;
  return threads < kMostThreads ? threads : kMostThreads;
}

Shared runBlocks(const Grid &grid, int threads, Poll poll, AtUnload atUnload,
                 void (*run)(void *, const Block &), void *body) {
  Pool *pool = poolOfThisProcess();
  if (!pool || pool->busy.exchange(true, std::memory_order_acquire)) return Shared::kNotShared;
  Job job{grid, blockCount(grid), run, body, 0, 0, 0, false};
  bool started;
  {
    std::lock_guard<std::mutex> held(pool->lock);
    started = pool->threads.empty();
    grow(pool, threads - 1);
    started = started && !pool->threads.empty();
    const int workers = int(pool->threads.size());
    job.seats = threads - 1 < workers ? threads - 1 : workers;
    pool->job = &job;
    ++pool->posted;
  }
  if (started) {
    if (atUnload)
      atUnload(releaseWorkers);
    else
      pinModule();
  }
  pool->wake.notify_all();

  std::unique_lock<std::mutex> held(pool->lock);
  Block block;
  while (take(job, &block)) {
    held.unlock();
    run(body, block);
    held.lock();
    if (job.next < job.count && poll.goOn) {
      held.unlock();
      const bool goOn = poll.goOn(poll.ctx);
      held.lock();
      if (!goOn) job.stop = true;
    }
  }
  pool->left.wait(held, [&] { return job.working == 0; });
  pool->job = nullptr;  // seats not taken by now stay empty
  held.unlock();
  pool->busy.store(false, std::memory_order_release);
  return job.stop ? Shared::kStopped : Shared::kDone;
}

void releaseWorkers() {
  Pool *pool = current.exchange(nullptr, std::memory_order_acq_rel);
  if (!pool || pool->pid != processId()) return;
  {
    std::lock_guard<std::mutex> held(pool->lock);
    pool->quit = true;
  }
  pool->wake.notify_all();
  for (std::thread &t : pool->threads) t.join();
  delete pool;
}

}  // namespace gateway
