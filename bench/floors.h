// What any module that produces an output of a given size must at least pay,
// measured in the same process as the modules: copying or filling that many
// bytes with streaming stores in memory already in use, and making a fresh
// output of that size through the host and writing it once.
#ifndef EXACTMEX_BENCH_FLOORS_H
#define EXACTMEX_BENCH_FLOORS_H

#include <cstddef>

namespace bench {

// Copies n doubles from src to dst, with streaming stores where the CPU has
// them (x86-64: SSE2, its baseline).
void streamingCopy(const double *src, double *dst, size_t n);

// Fills n doubles at dst with x, streaming as above.
void streamingFill(double *dst, size_t n, double x);

}  // namespace bench

#endif
