// Stand-in for Linux's getrandom, linked into test builds of mintid's own
// service in place of the C library's. It serves the 16 bytes of one GUID as
// 1, 2, ..., 16, at most 3 bytes per call, with every other call interrupted
// by a signal; once FAKE_SOURCE_FAILS_AFTER bytes have been served, it fails.
#include <sys/random.h>

#include <cerrno>
#include <cstdint>

#ifndef FAKE_SOURCE_FAILS_AFTER
#error "FAKE_SOURCE_FAILS_AFTER sets how many bytes are served before the source fails"
#endif

extern "C" ssize_t getrandom(void *buf, size_t n, unsigned int) {
  static bool interrupted = false;
  interrupted = !interrupted;
  if (interrupted) {
    errno = EINTR;
    return -1;
  }
  const size_t offset = 16 - n;  // the caller asks for what it still lacks
  if (offset >= FAKE_SOURCE_FAILS_AFTER) {
    errno = EIO;
    return -1;
  }
  const size_t served = n < 3 ? n : 3;
  for (size_t k = 0; k < served; ++k) static_cast<uint8_t *>(buf)[k] = uint8_t(offset + k + 1);
  return static_cast<ssize_t>(served);
}
