// Builders for input arrays and bit-level comparison of results, and the
// module loader (host/module_loader.h) under the tests' names.
#ifndef EXACTMEX_TESTS_ARRAYS_H
#define EXACTMEX_TESTS_ARRAYS_H

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "module_loader.h"
#include "support/oracles.h"

namespace test {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using mexhost::Array;
using mexhost::arrays;
using mexhost::CallResult;
using mexhost::deliverables;
using mexhost::matrix;
using mexhost::Module;
using mexhost::moduleDir;
using mexhost::pointers;
using mexhost::scalar;

// Where the test builds of modules (tests/fakes) lie.
std::string testModuleDir();

// An m-by-n double matrix from values in column-major order (zeros if none).
Array matrix(size_t m, size_t n, std::initializer_list<double> values = {});
// A double array of any dims from values in column-major order.
Array ndArray(const std::vector<mwSize> &dims, const std::vector<double> &values);
std::vector<mwSize> dimsOf(const mxArray *a);
// Any class, shape and complexity, zero-filled.
Array ofClass(mxClassID cls, size_t m, size_t n, mxComplexity c = mxREAL);
// An m-by-n sparse double array storing these elements, given in column
// order (none: all zero).
struct Stored {
  size_t row, col;
  double value;
};
Array sparse(size_t m, size_t n, const std::vector<Stored> &stored = {});

std::vector<double> values(const mxArray *a);
uint64_t bits(double x);
uint32_t bits(float x);

// Whether got is what the modules promise for an element whose definition
// gives want (see oracle::Element).
using oracle::Element;
bool sameResult(double got, double want, Element e = Element::kComputed);
bool sameResult(float got, float want, Element e = Element::kComputed);

// Describes the first element where got and want differ, or "" when equal.
std::string firstMismatch(const mxArray *got, size_t m, size_t n, const std::vector<double> &want,
                          Element e = Element::kComputed);
// The same of a single output.
std::string firstSingleMismatch(const mxArray *got, size_t m, size_t n,
                                const std::vector<float> &want, Element e = Element::kComputed);

// Values of doubles or floats (T) that stress their arithmetic: NaN, +-Inf,
// +-0, subnormals, ties, huge and tiny magnitudes.
template <class T = double>
const std::vector<T> &stressValues();
template <>
const std::vector<double> &stressValues();
template <>
const std::vector<float> &stressValues();
// Draws from stressValues<T>() and ordinary numbers.
template <class T = double>
T specialValue(std::mt19937_64 &rng);
template <class T = double>
std::vector<T> specialValues(std::mt19937_64 &rng, size_t count);

}  // namespace test

#endif
