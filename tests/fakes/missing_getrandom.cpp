// Stand-in for the getrandom system call as a Linux kernel before 3.17
// answers it: there is no such call (ENOSYS), through the C library's
// wrapper or made directly. Linked into test builds of mintid's own service
// in place of the C library's functions.
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>

extern "C" ssize_t getrandom(void *, size_t, unsigned int) {
  errno = ENOSYS;
  return -1;
}

extern "C" long syscall(long, ...) {
  errno = ENOSYS;
  return -1;
}
