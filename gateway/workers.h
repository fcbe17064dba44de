// A module's worker threads, which run the column blocks of a large call
// beside the calling thread. They only ever run blocks of a kernel: they
// never call the host, never throw, and are joined before the module is
// unloaded (the host's exit function in a MEX build, the module's own
// teardown elsewhere). Host-neutral, like the block loop that uses them
// (gateway/output_blocks.h).
#ifndef EXACTMEX_GATEWAY_WORKERS_H
#define EXACTMEX_GATEWAY_WORKERS_H

#include <cstdint>

#include "gateway/blocks.h"

namespace gateway {

// What the calling thread asks its host, and no other thread does: whether
// to go on, between blocks, never during one (a null goOn never stops); and
// the most threads the host lets the call use, once, by a call large enough
// to share (null or 0: no limit of the host's).
struct Poll {
  bool (*goOn)(void *ctx);
  void *ctx;
  int (*threadLimit)(void *ctx) = nullptr;
};

// Registers a function for the host to call before it unloads the module
// (mexAtExit); null where the module's own teardown at unload is enough.
using AtUnload = void (*)(void (*release)(void));

// The threads a large call may use: EXACTMEX_THREADS when it holds a whole
// number of at least 1, read at every call so that a change made from MATLAB
// or Octave (setenv) takes effect at the next one; otherwise the CPUs this
// process may run on, or the host's limit (poll.threadLimit) when it is
// lower.
int threadsWanted(const Poll &poll);

// What runBlocks did.
enum class Shared { kDone, kStopped, kNotShared };

// Runs run(body, block) over the blocks on the calling thread and up to
// threads - 1 workers of this module's pool, each block once, in any order
// and at once. The calling thread asks poll between its own blocks; when it
// says stop, no further block is handed out and the call returns kStopped
// once the blocks already running have ended. kNotShared when the pool is
// in use by another thread of the process or cannot be had: nothing was
// run. Workers that cannot be started leave their share to the others.
// When it returns, every store of every block is visible to the caller.
Shared runBlocks(const Grid &grid, int threads, Poll poll, AtUnload atUnload,
                 void (*run)(void *body, const Block &block), void *body);

// Ends the pool's workers and joins them; the next call that needs workers
// starts new ones. What the host's exit function runs.
void releaseWorkers();

}  // namespace gateway

#endif
