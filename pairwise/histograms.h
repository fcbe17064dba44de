// What bindist and binknn share besides their metrics: the sums of the
// columns of a histogram matrix, which the intersection distance divides by,
// and the work of a term of each metric.
#ifndef EXACTMEX_HISTOGRAMS_H
#define EXACTMEX_HISTOGRAMS_H

#include <cstdint>

#include "gateway/call.h"

// The n sums of the d-by-n matrix H's columns, each from +0.0 in row order,
// in the call's scratch memory; null when it cannot be had. The tests link
// a version that always fails.
double *columnSums(const gateway::Call &c, int32_t n, int32_t d, const double *H);

// Work of one term by mcode, against a term of sampledist (gateway/
// output_blocks.h): chi-square divides, the log divergence takes a
// logarithm.
constexpr double kBinTermWork[] = {0, 1, 2, 4};

#endif
