#include "support/threads.h"

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>

#if defined(__linux__)
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace test {

const char kUncounted[] =
    "this system does not list a process's threads by name, so the workers are not counted";

void ThreadsVariable::set(const char *value) {
#if defined(_WIN32)
  _putenv_s("EXACTMEX_THREADS", value);
#else
  if (*value)
    setenv("EXACTMEX_THREADS", value, 1);
  else
    unsetenv("EXACTMEX_THREADS");
#endif
}

NewWorkers::NewWorkers() : before_(workers()) {}

bool NewWorkers::countable() {
#if defined(__linux__)
  return true;
#else
  return false;
#endif
}

int NewWorkers::count() const {
  int n = 0;
  for (const Thread &t : workers()) n += before_.count(t) == 0;
  return n;
}

int NewWorkers::settledAt(int want) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  int n = count();
  while (n > want && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    n = count();
  }
  return n;
}

#if defined(__linux__)
// The thread's stat line, or "" when the thread has ended: reading the file
// of a thread that ends meanwhile fails (ESRCH), which a stream would throw.
static std::string readStat(const char *tid) {
  const int fd = open((std::string("/proc/self/task/") + tid + "/stat").c_str(), O_RDONLY);
  if (fd < 0) return "";
  char buffer[1024];
  const ssize_t n = read(fd, buffer, sizeof buffer);
  close(fd);
  return n > 0 ? std::string(buffer, size_t(n)) : "";
}
#endif

std::set<NewWorkers::Thread> NewWorkers::workers() {
  std::set<Thread> found;
#if defined(__linux__)
  DIR *dir = opendir("/proc/self/task");
  if (!dir) return found;
  while (dirent *e = readdir(dir)) {
    if (e->d_name[0] == '.') continue;
    // "TID (NAME) STATE ...": the start time is the 20th field after NAME.
    const std::string stat = readStat(e->d_name);
    const size_t open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos ||
        stat.compare(open + 1, close - open - 1, "exactmex worker") != 0)
      continue;  // ended meanwhile, or not a worker
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int k = 0; k < 19; ++k) fields >> field;
    unsigned long long start = 0;
    if (fields >> start) found.insert({std::atol(e->d_name), start});
  }
  closedir(dir);
#endif
  return found;
}

}  // namespace test
