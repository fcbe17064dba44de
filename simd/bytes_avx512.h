// Byte operations of the AVX-512 target: those of AVX2, on 256-bit
// registers. The target asks the CPU for AVX-512F alone, and byte
// instructions on 512-bit registers (VPSADBW, VPMAXUB, ...) are AVX-512BW's.
// Included per target: no include guard.
#include "simd/bytes_avx2.h"
