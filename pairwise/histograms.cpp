#include <cstddef>

#include "pairwise/bin_family.h"

namespace {

template <class T>
ResultOf<T> *sumsOf(const gateway::Call &c, int32_t n, int32_t d, const T *H) {
  using R = ResultOf<T>;
  R *sums = static_cast<R *>(gateway::scratch(c, size_t(n), sizeof(R)));
  for (int32_t j = 0; sums && j < n; ++j) {
    R s = 0;
    for (int32_t k = 0; k < d; ++k) s += R(H[ptrdiff_t(j) * d + k]);
    sums[j] = s;
  }
  return sums;
}

}  // namespace

const void *columnSums(const gateway::Call &c, gateway::DataClass cls, int32_t n, int32_t d,
                       const void *H) {
  const void *sums = nullptr;
  gateway::forClass(BinFamily::Classes(), cls, [&](auto zero) {
    using T = decltype(zero);
    sums = sumsOf(c, n, d, static_cast<const T *>(H));
  });
  return sums;
}
