// Every operation of simd/vec.h on vectors of doubles or floats, for
// tests/vec_ops_test.cpp: included once per target (simd/foreach_target.h),
// so no include guard.
namespace SIMD_NAMESPACE {
namespace {

// The vectors at a and b into out, one vector per operation: add, mul, sub,
// div, absOf(a), maxOf, minOf, then splat(b[0]) streamed (out is aligned to
// 64 bytes); returns lessMask(a, b), and the lanes of a vector in lanes.
template <class T>
uint32_t ops(const T *a, const T *b, T *out, int32_t *lanes) {
  constexpr int L = kLanesOf<T>;
  const VecOf<T> x = load(a), y = load(b);
  store(out + 0 * L, add(x, y));
  store(out + 1 * L, mul(x, y));
  store(out + 2 * L, sub(x, y));
  store(out + 3 * L, div(x, y));
  store(out + 4 * L, absOf(x));
  store(out + 5 * L, maxOf(x, y));
  store(out + 6 * L, minOf(x, y));
  stream(out + 7 * L, splat(b[0]));
  streamFence();
  *lanes = L;
  return lessMask(x, y);
}

template <class T>
constexpr VecOps<T> kernels[] = {ops<T>};

}  // namespace
}  // namespace SIMD_NAMESPACE
