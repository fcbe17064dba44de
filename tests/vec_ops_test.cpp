// The vector operations of every target this machine runs, on doubles and on
// floats, against their scalar forms lane by lane: each one IEEE operation of
// the class per lane, max and min by the strict comparison (the second
// operand on a tie or a NaN), lessMask's bit l for lane l. Kernels reach only
// some of the operations; later ones build on the rest.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/arrays.h"
#include "support/oracles.h"
#include "support/variants.h"

template <class T>
using VecOps = uint32_t (*)(const T *a, const T *b, T *out, int32_t *lanes);

#define SIMD_BODY "vec_ops_variants.h"
#include "simd/foreach_target.h"

SIMD_DISPATCH_BY_CLASS(VecOps, vecOps)

namespace {

using namespace test;

constexpr int kOps = 8, kMaxLanes = 16;

// Every pair of stress values, then ordinary and special values at random,
// in vectors of each lane count; lane l of a vector is compared with the
// scalar forms of its own elements.
template <class T>
void checkOps(simd::Target t) {
  const std::vector<T> &stress = stressValues<T>();
  std::mt19937_64 rng(7);
  std::vector<T> as, bs;
  for (T a : stress)
    for (T b : stress) {
      as.push_back(a);
      bs.push_back(b);
    }
  const std::vector<T> more = specialValues<T>(rng, 4096);
  as.insert(as.end(), more.begin(), more.begin() + 2048);
  bs.insert(bs.end(), more.begin() + 2048, more.end());

  int32_t L = 0;
  alignas(64) T out[kOps * kMaxLanes];
  vecOps<T>(t).at(0)(as.data(), bs.data(), out, &L);
  ASSERT_TRUE(L >= 1 && L <= kMaxLanes);
  for (size_t k = 0; k + L <= as.size(); k += L) {
    const uint32_t mask = vecOps<T>(t).at(0)(as.data() + k, bs.data() + k, out, &L);
    for (int32_t l = 0; l < L; ++l) {
      const T a = as[k + l], b = bs[k + l];
      const T computed[] = {a + b, a * b, a - b, a / b};
      for (int op = 0; op < 4; ++op)
        ASSERT_TRUE(sameResult(out[op * L + l], computed[op]))
            << className<T>() << " on " << simd::targetName(t) << " op " << op << " of " << a
            << " and " << b << " in lane " << l << ": " << out[op * L + l];
      const T selected[] = {std::fabs(a), oracle::lane(3, a, b), oracle::lane(4, a, b), bs[k]};
      for (int op = 4; op < kOps; ++op)
        ASSERT_EQ(bits(out[op * L + l]), bits(selected[op - 4]))
            << className<T>() << " on " << simd::targetName(t) << " op " << op << " of " << a
            << " and " << b << " in lane " << l;
      ASSERT_EQ((mask >> l) & 1, uint32_t(a < b))
          << className<T>() << " on " << simd::targetName(t) << " lessMask of " << a << " and " << b
          << " in lane " << l;
    }
    ASSERT_EQ(mask >> L, 0u) << className<T>() << " on " << simd::targetName(t);
  }
}

TEST(VecOps, EveryOperationMatchesItsScalarFormOnEveryTarget) {
  forEachClass([&](auto zero) {
    for (simd::Target t : runnableTargets()) {
      checkOps<decltype(zero)>(t);
      if (HasFatalFailure()) return;
    }
  });
}

}  // namespace
