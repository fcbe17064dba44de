// The sample family's kernels on uint8 and int8 data for one target
// (pairwise/sample_bytes.h) after the stages they hand results to. Included
// once per target: no include guard.
#include "simd/pair_tile.h"
// After the pair tile.
#include "simd/nearest.h"
// After the nearest columns' stage.
#include "pairwise/sample_bytes.h"
