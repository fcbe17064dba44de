// createGuid on Windows is CoCreateGuid itself. Elsewhere it makes a random
// (version 4) GUID the way Windows does: 16 bytes from the operating system's
// cryptographic random source, version nibble 4 in the top of Data3 and the
// RFC 4122 variant bits (10) in the top of Data4[0].
#include "ident/guid_service.h"

#if defined(_WIN32)
#include <objbase.h>

#include <cstring>
#elif defined(__linux__)
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
// The C library wraps Linux's getrandom system call from glibc 2.25 on; with
// an older one the call is made directly. Test builds define
// GUID_SERVICE_NO_GETRANDOM_WRAPPER to take that road.
#if __has_include(<sys/random.h>) && !defined(GUID_SERVICE_NO_GETRANDOM_WRAPPER)
#include <sys/random.h>
#define GUID_SERVICE_GETRANDOM_WRAPPER 1
#endif
#elif defined(__APPLE__) || defined(__FreeBSD__) || defined(__OpenBSD__) || defined(__NetBSD__) || \
    defined(__DragonFly__)
#include <stdlib.h>
#else
#error "no cryptographic random source is known for this platform"
#endif

#if defined(_WIN32)

static_assert(sizeof(GUID) == sizeof(GuidRecord), "GuidRecord matches GUID");

int32_t createGuid(GuidRecord *guid) {
  GUID made;
  const HRESULT status = CoCreateGuid(&made);
  if (status == S_OK) std::memcpy(guid, &made, sizeof *guid);
  return static_cast<int32_t>(status);
}

#else

namespace {

// What Windows reports for an unspecified failure (E_FAIL).
constexpr int32_t kSourceFailed = static_cast<int32_t>(0x80004005u);

#if defined(__linux__)
// One getrandom request for up to n bytes.
ssize_t getRandom(unsigned char *buf, size_t n) {
#if defined(GUID_SERVICE_GETRANDOM_WRAPPER)
  return getrandom(buf, n, 0);
#elif defined(SYS_getrandom)
  return syscall(SYS_getrandom, buf, n, 0);
#else
  errno = ENOSYS;
  return -1;
#endif
}

// Fills all n bytes of buf from /dev/urandom, or returns false.
bool readUrandom(unsigned char *buf, size_t n) {
  const int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  size_t filled = 0;
  while (filled < n) {
    const ssize_t got = read(fd, buf + filled, n - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    filled += static_cast<size_t>(got);
  }
  close(fd);
  return filled == n;
}
#endif

// Fills all n bytes of buf, or returns false.
bool readRandom(unsigned char *buf, size_t n) {
#if defined(__linux__)
  // getrandom may return fewer bytes than asked, or be interrupted by a signal
  // before it returns any. Kernels before 3.17 lack it: /dev/urandom then.
  size_t filled = 0;
  while (filled < n) {
    const ssize_t got = getRandom(buf + filled, n - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno == ENOSYS && filled == 0) return readUrandom(buf, n);
    if (got <= 0) return false;
    filled += static_cast<size_t>(got);
  }
#else
  arc4random_buf(buf, n);  // cannot fail
#endif
  return true;
}

}  // namespace

int32_t createGuid(GuidRecord *guid) {
  // Built in a local so that a failed read leaves the caller's record as it was.
  GuidRecord made;
  if (!readRandom(reinterpret_cast<unsigned char *>(&made), sizeof made)) return kSourceFailed;
  made.Data3 = static_cast<uint16_t>((made.Data3 & 0x0FFFu) | 0x4000u);
  made.Data4[0] = static_cast<uint8_t>((made.Data4[0] & 0x3Fu) | 0x80u);
  *guid = made;
  return 0;
}

#endif
