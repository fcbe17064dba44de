// The vector operations kernels are written in, for the target being built
// (SIMD_TARGET, set by simd/target_slot.h, which includes this once per
// target: no include guard): the target's own, from simd/vec_TARGET.h, and
// those every target shares. Everything lives in the target's namespace
// (SIMD_NAMESPACE), so code built with different instruction sets is never
// merged by the linker.
//
// Each operation is one IEEE operation per lane, the same as its scalar form:
// lanes hold independent elements, never terms of one sum. Vectors of floats
// hold twice the lanes of those of doubles, and every operation on them is a
// single-precision one, rounded to float like its scalar form. The scalar
// forms serve the portable target (where Vec is double and FloatVec float)
// and the edges of columns.
//
// A target's file gives Vec and kLanes (doubles), FloatVec and kFloatLanes
// (floats); load, splat, store, stream (a store past the caches, where the
// target has one: kStreamingStores) and streamFence; add, mul, sub, div,
// absOf, maxOf and minOf on either vector; lessMask, whose bit l is set where
// lane l of a is less than that of b; and the blocking of the shared loops in
// its registers, counted in vectors, so the same for both element types:
// kSweepGroup (simd/sweep.h), kPanelVecs and kTileCols (simd/pair_tile.h).
// Code written once for both names the vector of elements T as VecOf<T>, and
// its lanes kLanesOf<T>.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "simd/targets.h"

namespace SIMD_NAMESPACE {

inline double add(double a, double b) { return a + b; }
inline double mul(double a, double b) { return a * b; }
inline double sub(double a, double b) { return a - b; }
inline double div(double a, double b) { return a / b; }
// a with its sign bit cleared, as fabs: NaN stays NaN, -0 becomes +0.
inline double absOf(double a) { return std::fabs(a); }
// x when x > p, otherwise p: on a tie or a NaN in either operand, p.
inline double maxOf(double x, double p) { return x > p ? x : p; }
// x when x < p, otherwise p.
inline double minOf(double x, double p) { return x < p ? x : p; }
// 1 when a < b (false for a NaN), otherwise 0.
inline uint32_t lessMask(double a, double b) { return a < b; }

// The same in single precision: each result rounded to float.
inline float add(float a, float b) { return a + b; }
inline float mul(float a, float b) { return a * b; }
inline float sub(float a, float b) { return a - b; }
inline float div(float a, float b) { return a / b; }
inline float absOf(float a) { return std::fabs(a); }
inline float maxOf(float x, float p) { return x > p ? x : p; }
inline float minOf(float x, float p) { return x < p ? x : p; }
inline uint32_t lessMask(float a, float b) { return a < b; }

}  // namespace SIMD_NAMESPACE

// A path spelled in tokens: spaces would end up inside it.
// clang-format off
#include SIMD_STR(simd/SIMD_CAT(vec_, SIMD_TARGET).h)
// clang-format on

namespace SIMD_NAMESPACE {

// The vector of elements T (double or float) and its lanes.
template <class T>
struct Vectors;
template <>
struct Vectors<double> {
  using V = Vec;
  static constexpr int kCount = kLanes;
};
template <>
struct Vectors<float> {
  using V = FloatVec;
  static constexpr int kCount = kFloatLanes;
};
template <class T>
using VecOf = typename Vectors<T>::V;
template <class T>
constexpr int kLanesOf = Vectors<T>::kCount;

// Streaming stores go to memory a whole cache line at a time, once the line
// is complete: code that streams writes each line whole, from its start,
// before moving on, and streams kLineElements<T> elements per step.
using simd::kLineBytes;
template <class T>
constexpr int kLineElements = kLineBytes / sizeof(T);
constexpr int kLineDoubles = kLineElements<double>;

// Elements from p up to the next cache line (0 when p is at one). p must be
// aligned to its element.
template <class T>
int32_t elementsToLine(const T *p) {
  const size_t misaligned = reinterpret_cast<uintptr_t>(p) % kLineBytes;
  return misaligned == 0 ? 0 : static_cast<int32_t>((kLineBytes - misaligned) / sizeof(T));
}

// Streaming stores skip the caches: worth it only for outputs too large to
// stay there for whoever reads them next.
constexpr double kStreamBytes = 8.0 * 1024 * 1024;

// Whether an output of count elements at p is written with streaming stores.
template <class T>
bool streams(const T *p, double count) {
  return kStreamingStores && count * sizeof(T) >= kStreamBytes &&
         reinterpret_cast<uintptr_t>(p) % sizeof(T) == 0;
}

}  // namespace SIMD_NAMESPACE
