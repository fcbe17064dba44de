// Every kernel of every module's table, timed on its own.
#ifndef EXACTMEX_BENCH_KERNELS_H
#define EXACTMEX_BENCH_KERNELS_H

namespace bench {

// Registers "kernel MODULE CODE" for every code of every module's table of
// the active target, each called directly on one shape per module: what an
// operation costs without the gateway and the host around it.
void registerKernels();

}  // namespace bench

#endif
