// Every kernel of every module's table, timed on its own.
#ifndef EXACTMEX_BENCH_KERNELS_H
#define EXACTMEX_BENCH_KERNELS_H

namespace bench {

// Registers "kernel MODULE CODE" for every code of every module's table of
// the active target, each called directly on one shape per module (the
// broadcast modules and meshapply on two sizes, of doubles and of floats:
// "kernel MODULE CODE CLASS MxN", the pairwise tables of doubles, singles
// and bytes as "kernel MODULE CODE[ CLASS]"): what an operation costs without the
// gateway and the host around it. Beside them, "kernel floor copy|fill SIZE",
// the least writing each size of output costs.
void registerKernels();

}  // namespace bench

#endif
