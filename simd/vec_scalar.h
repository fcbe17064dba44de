// The portable target: plain C++ on doubles and floats, one element at a
// time (the scalar forms of simd/vec.h). Included by simd/vec.h: no include
// guard.
namespace SIMD_NAMESPACE {

using Vec = double;
using FloatVec = float;
constexpr int kLanes = 1, kFloatLanes = 1;
constexpr bool kStreamingStores = false;
inline Vec load(const double *p) { return *p; }
inline Vec splat(double x) { return x; }
inline void store(double *p, Vec a) { *p = a; }
inline void stream(double *p, Vec a) { *p = a; }
inline FloatVec load(const float *p) { return *p; }
inline FloatVec splat(float x) { return x; }
inline void store(float *p, FloatVec a) { *p = a; }
inline void stream(float *p, FloatVec a) { *p = a; }
inline void streamFence() {}

constexpr int kSweepGroup = 4;
// One pair at a time, as the plain loop takes them: with several, the
// compiler may order the operands of an addition differently from tile to
// tile, and which NaN an addition of two NaNs returns follows the operand
// order, so results would depend on how the output is split into calls.
constexpr int kPanelVecs = 1, kTileCols = 1;

}  // namespace SIMD_NAMESPACE
