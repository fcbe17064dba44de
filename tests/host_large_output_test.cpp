// Outputs of more than 2^31 elements made by the real gateways through the
// standalone host, every element checked against the scalar oracle. Each
// output takes 16 GiB, so a test runs only in a 64-bit build with that much
// memory available (MemAvailable) and 3 GiB to spare, and never under the
// sanitizers, whose shadow memory would add more; otherwise it is skipped
// with the reason. The kernels alone are covered on any 64-bit machine by
// pairwise_large_output_test.cpp.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "support/arrays.h"
#include "support/oracles.h"
#include "support/sanitizers.h"

namespace {

using namespace test;

// Above 2^31 elements, with operands of ordinary size.
constexpr size_t kRows = 65536, kCols = 32769;
constexpr uint64_t kOutputBytes = uint64_t(kRows) * kCols * sizeof(double);
constexpr uint64_t kSpareBytes = uint64_t(3) << 30;

// MemAvailable of /proc/meminfo in bytes, or 0 when it cannot be read.
uint64_t availableMemory() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  uint64_t kib;
  while (meminfo >> key >> kib) {
    if (key == "MemAvailable:") return kib * 1024;
    meminfo.ignore(256, '\n');
  }
  return 0;
}

// Calls the module on a 1-by-kRows first operand and a 1-by-kCols second one
// and checks element (i, j) of the kRows-by-kCols result against want(i, j).
template <typename Want>
void expectWholeOutput(const char *module, const std::vector<double> &first,
                       const std::vector<double> &second, double code, Want want) {
#ifdef EXACTMEX_ASAN
  GTEST_SKIP() << "not run under AddressSanitizer: the output alone takes 16 GiB";
#endif
  if (sizeof(size_t) < sizeof(uint64_t)) GTEST_SKIP() << "needs a 64-bit address space";
  const uint64_t available = availableMemory();
  if (available < kOutputBytes + kSpareBytes)
    GTEST_SKIP() << "needs " << ((kOutputBytes + kSpareBytes) >> 20) << " MiB of available memory, "
                 << (available >> 20) << " MiB available";
  Module mod(module);
  Array a = matrix(1, kRows, first), b = matrix(1, kCols, second), c = scalar(code);
  CallResult r = mod.call(1, {a.get(), b.get(), c.get()});
  ASSERT_TRUE(r.ok) << r.error;
  const mxArray *out = r.outputs[0].get();
  ASSERT_EQ(mxGetM(out), kRows);
  ASSERT_EQ(mxGetN(out), kCols);
  const double *Y = mxGetPr(out);
  for (size_t j = 0; j < kCols; ++j, Y += kRows)
    for (size_t i = 0; i < kRows; ++i)
      if (!sameResult(Y[i], want(i, j)))
        FAIL() << module << " element " << i + j * kRows << " is " << Y[i] << ", want "
               << want(i, j);
}

TEST(HostLargeOutput, MeshapplyPast2To31Elements) {
  std::vector<double> x(kRows), y(kCols);
  for (size_t i = 0; i < kRows; ++i) x[i] = double(i);
  for (size_t j = 0; j < kCols; ++j) y[j] = double(j * kRows);
  expectWholeOutput("meshapply", x, y, 1,
                    [&](size_t i, size_t j) { return oracle::mesh(1, x[i], y[j]); });
}

TEST(HostLargeOutput, SampledistPast2To31Elements) {
  std::vector<double> X1(kRows), X2(kCols);
  for (size_t i = 0; i < kRows; ++i) X1[i] = double(i);
  for (size_t j = 0; j < kCols; ++j) X2[j] = -double(j * kRows);
  expectWholeOutput("sampledist", X1, X2, 1,
                    [&](size_t i, size_t j) { return oracle::sample(1, &X1[i], &X2[j], 1); });
}

TEST(HostLargeOutput, BindistPast2To31Elements) {
  std::vector<double> H1(kRows), H2(kCols);
  for (size_t i = 0; i < kRows; ++i) H1[i] = -double(i);
  for (size_t j = 0; j < kCols; ++j) H2[j] = 1.0 + double(j);
  expectWholeOutput("bindist", H1, H2, 1,
                    [&](size_t i, size_t j) { return oracle::bin(1, &H1[i], &H2[j], 1); });
}

}  // namespace
