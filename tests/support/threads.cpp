#include "support/threads.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#if defined(__linux__)
#include <dirent.h>
#endif

namespace test {

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

int workerCount() {
#if defined(__linux__)
  DIR *dir = opendir("/proc/self/task");
  if (!dir) return -1;
  int count = 0;
  while (dirent *e = readdir(dir)) {
    if (e->d_name[0] == '.') continue;
    const std::string path = std::string("/proc/self/task/") + e->d_name + "/comm";
    if (FILE *f = std::fopen(path.c_str(), "r")) {
      char name[32] = "";
      count += std::fgets(name, sizeof name, f) && std::string(name) == "exactmex worker\n";
      std::fclose(f);
    }
  }
  closedir(dir);
  return count;
#else
  return -1;
#endif
}

int workersSettledAt(int want) {
  int count = workerCount();
  for (int tries = 0; count >= 0 && count != want && tries < 1000; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    count = workerCount();
  }
  return count < 0 ? want : count;
}

}  // namespace test
