#include "floors.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bench {

namespace {

// Elements before dst reaches a 16-byte boundary (dst holds doubles).
size_t headOf(const double *dst, size_t n) {
  const size_t head = (reinterpret_cast<uintptr_t>(dst) % 16) / sizeof(double);
  return head < n ? head : n;
}

}  // namespace

void streamingCopy(const double *src, double *dst, size_t n) {
#if defined(__SSE2__)
  size_t i = headOf(dst, n);
  std::memcpy(dst, src, i * sizeof(double));
  for (; i + 8 <= n; i += 8) {
    const __m128d a = _mm_loadu_pd(src + i), b = _mm_loadu_pd(src + i + 2),
                  c = _mm_loadu_pd(src + i + 4), d = _mm_loadu_pd(src + i + 6);
    _mm_stream_pd(dst + i, a);
    _mm_stream_pd(dst + i + 2, b);
    _mm_stream_pd(dst + i + 4, c);
    _mm_stream_pd(dst + i + 6, d);
  }
  std::memcpy(dst + i, src + i, (n - i) * sizeof(double));
  _mm_sfence();
#else
  std::memcpy(dst, src, n * sizeof(double));
#endif
}

void streamingFill(double *dst, size_t n, double x) {
  size_t i = 0;
#if defined(__SSE2__)
  for (const size_t head = headOf(dst, n); i < head; ++i) dst[i] = x;
  const __m128d v = _mm_set1_pd(x);
  for (; i + 8 <= n; i += 8) {
    _mm_stream_pd(dst + i, v);
    _mm_stream_pd(dst + i + 2, v);
    _mm_stream_pd(dst + i + 4, v);
    _mm_stream_pd(dst + i + 6, v);
  }
  _mm_sfence();
#endif
  for (; i < n; ++i) dst[i] = x;
}

}  // namespace bench
