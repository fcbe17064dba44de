// Blocks of an output shared among threads (gateway/output_blocks.h,
// gateway/workers.h). Every kernel of every target this machine runs gives
// the plain definition's result on 1, 2, 3, 7 and 16 threads, with blocks
// of one column, blocks cut through the tiles and groups the kernels take
// (and, for the pairwise tables, through their panels of rows), and the
// blocks a large call gets; outputs large enough for streaming stores too.
// The pairwise kernels of every class of data. Block edges fall on cache lines where the output has
// columns (or, in a table's row blocks, rows) starting on one; the host's question is asked between
// blocks on the calling thread alone, and once it says stop no block is left running.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <type_traits>

#include "broadcast/crossfuse_kernels.h"
#include "broadcast/lanefuse_kernels.h"
#include "gateway/output_blocks.h"
#include "pairwise/meshapply_kernels.h"
#include "support/arrays.h"
#include "support/families.h"
#include "support/oracles.h"
#include "support/variants.h"

namespace {

using namespace test;
using gateway::Block;
using gateway::Blocks;
using gateway::Grid;
using Values = std::shared_ptr<const std::vector<double>>;

const std::vector<int> kThreadCounts = {1, 2, 3, 7, 16};

Values valuesFor(std::mt19937_64 &rng, size_t count) {
  return std::make_shared<const std::vector<double>>(specialValues(rng, count));
}

// Blocks of one column; a first block of 5 columns, then 7 at a time, which
// cuts through every tile and group of columns a kernel takes, and for a
// kernel that takes rows, the same with rows cut 3, then 5 at a time; and
// the blocks a large call on three threads gets for this output.
// The planners place edges for tables of doubles; a single table's blocks
// are planned as if its output were one: any cut must give the same bits.
template <class R>
std::vector<Grid> plans(const CaseOf<R> &c, const R *out) {
  const Blocks rows = gateway::whole(c.m);
  if (!c.takesRows)
    return {{rows, {c.n, 0, 1}},
            {rows, {c.n, 5, 7}},
            {rows, gateway::shareBlocks(c.n, 1e6, reinterpret_cast<const double *>(out), c.m, 3)}};
  return {{rows, {c.n, 0, 1}},
          {{c.m, 3, 5}, {c.n, 5, 7}},
          gateway::pairGrid(c.m, c.n, 1e3, 8e3, reinterpret_cast<const double *>(out), 3)};
}

// The case on each thread count, over every plan (or the large call's
// alone), into poisoned outputs offset doubles past a cache line.
template <class R>
void checkOnThreads(const CaseOf<R> &c, size_t offset, const std::vector<int> &threadCounts,
                    bool everyPlan) {
  for (int threads : threadCounts) {
    CaseOutputs out(c, offset);
    std::vector<Grid> ps = plans(c, out.Y.data);
    if (!everyPlan) ps.erase(ps.begin(), ps.end() - 1);
    for (const Grid &plan : ps) {
      out.poisonAll(c);
      auto body = [&](const Block &b) { c.kernel(out.Y.data, out.I.data, b); };
      ASSERT_EQ(
          gateway::forSharedBlocks(plan, threads, gateway::Poll{nullptr, nullptr}, nullptr, body),
          gateway::Shared::kDone);
      out.expectWanted(
          c, ", " + std::to_string(threads) + " threads, rows " + std::to_string(plan.rows.first) +
                 " then " + std::to_string(plan.rows.size) + ", columns " +
                 std::to_string(plan.cols.first) + " then " + std::to_string(plan.cols.size));
    }
  }
}

// Every broadcast kernel and meshapply on an m-by-n output, or only the
// first of each module when not `all`.
std::vector<Case> broadcastCases(simd::Target t, int32_t m, int32_t n, bool all) {
  std::mt19937_64 rng(uint64_t(m) * 131 + n);
  const Values X = valuesFor(rng, size_t(m) * n), col = valuesFor(rng, m), row = valuesFor(rng, n);
  const std::string on = std::string(" on ") + simd::targetName(t);
  std::vector<Case> cases;
  for (int32_t op : codesOf(lanefuseKernels<double>(t), all)) {
    const LaneKernel<double> kernel = lanefuseKernels<double>(t).at(op);
    for (int d : {1, 2}) {
      const Values v = d == 1 ? col : row;
      cases.push_back({"lanefuse op " + std::to_string(op) + " d " + std::to_string(d) + on,
                       [=](double *Y, double *, const Block &b) {
                         kernel(d, X->data(), v->data(), Y, m, n, b.j0, b.j1);
                       },
                       m, n, oracle::lanefuse(X->data(), v->data(), d, op, m, n),
                       oracle::laneElement(op), false});
    }
  }
  for (int32_t op : codesOf(crossfuseKernels<double>(t), all)) {
    const CrossKernel<double> kernel = crossfuseKernels<double>(t).at(op);
    cases.push_back({"crossfuse op " + std::to_string(op) + on,
                     [=](double *Y, double *, const Block &b) {
                       kernel(X->data(), row->data(), col->data(), Y, m, n, b.j0, b.j1);
                     },
                     m, n, oracle::crossfuse(X->data(), row->data(), col->data(), op, m, n),
                     Element::kComputed, false});
  }
  for (int32_t op : codesOf(meshapplyKernels<double>(t), all)) {
    const MeshKernel<double> kernel = meshapplyKernels<double>(t).at(op);
    cases.push_back({"meshapply op " + std::to_string(op) + on,
                     [=](double *Y, double *, const Block &b) {
                       kernel(col->data(), row->data(), Y, m, n, b.i0, b.i1, b.j0, b.j1);
                     },
                     m, n, oracle::meshapply(col->data(), m, row->data(), n, op),
                     oracle::meshElement(op), true});
  }
  return cases;
}

// Every kernel of every family on N1 x N2 pairs of d rows of class T, or
// the first code of each when not `all`; the nearest columns kept N1 / 2 + 1
// at a time with `nearestToo`.
template <class T>
std::vector<CaseOf<ResultOf<T>>> pairwiseCases(simd::Target t, int32_t N1, int32_t N2, int32_t d,
                                               bool all, bool nearestToo) {
  const uint64_t seed = uint64_t(N1) * 7 + N2 * 3 + d;
  std::mt19937_64 rng(seed);
  std::vector<T> A, B;
  if constexpr (std::is_floating_point_v<T>) {
    A = specialValues<T>(rng, size_t(N1) * d);
    B = specialValues<T>(rng, size_t(N2) * d);
  } else {
    A = integerValues<T>(seed, size_t(N1) * d, 6);
    B = integerValues<T>(seed + 1, size_t(N2) * d, 6);
  }
  return familyCases(t, N1, N2, d, A, B, all,
                     nearestToo ? std::vector<int32_t>{N1 / 2 + 1} : std::vector<int32_t>{});
}

// Rows around the lanes and cache lines; columns around the groups of 4
// and 8 and the tiles of 1, 2, 4 and 6 columns, over several blocks.
TEST(ThreadedBlocks, BroadcastKernelsGiveTheDefinitionOnAnyThreadCount) {
  for (simd::Target t : runnableTargets())
    for (auto [m, n] : {std::pair<int32_t, int32_t>{1, 29}, {7, 33}, {9, 26}, {16, 30}, {33, 25}})
      for (const Case &c : broadcastCases(t, m, n, true)) {
        checkOnThreads(c, size_t(m + n) % 8, kThreadCounts, true);
        if (HasFatalFailure()) return;
      }
}

// Panels of 2 to 32 columns, tiles of 1 to 6, chunks of 256 rows; the
// nearest columns of each block of columns; every class.
TEST(ThreadedBlocks, PairwiseKernelsGiveTheDefinitionOnAnyThreadCount) {
  struct Pairs {
    int32_t N1, N2, d;
  };
  forEachPairClass([&](auto zero) {
    using T = decltype(zero);
    for (simd::Target t : runnableTargets())
      for (const Pairs &s : {Pairs{7, 29, 3}, Pairs{17, 26, 5}, Pairs{33, 31, 2}, Pairs{9, 25, 300},
                             Pairs{65, 27, 4}})
        for (const auto &c : pairwiseCases<T>(t, s.N1, s.N2, s.d, true, true)) {
          checkOnThreads(c, size_t(s.N1 + s.N2) % 8, kThreadCounts, true);
          if (HasFatalFailure()) return;
        }
  });
}

// Outputs past the size that turns streaming stores on: every thread's
// stores are in the output when the call returns. Rows of 1031 give every
// column its own alignment; 1032 streams the pairwise kernels.
TEST(ThreadedBlocks, StreamedOutputsAreCompleteWhenTheCallReturns) {
  for (simd::Target t : runnableTargets()) {
    std::vector<Case> cases = broadcastCases(t, 1031, 1030, false);
    for (Case &c : pairwiseCases<double>(t, 1032, 1030, 1, false, false))
      cases.push_back(std::move(c));
    for (const Case &c : cases) {
      checkOnThreads(c, 3, {2, 7}, false);
      if (HasFatalFailure()) return;
    }
    // Single tables: 1040 rows are whole lines of floats.
    for (const auto &c : pairwiseCases<float>(t, 1040, 2060, 1, false, false)) {
      checkOnThreads(c, 3, {2, 7}, false);
      if (HasFatalFailure()) return;
    }
  }
}

// Where some columns of the output start on a cache line, every edge
// between blocks is at one of them; blocks of at least simd::kBlockColumnStep columns
// are whole multiples of it; together they cover every column once.
TEST(ThreadedBlocks, EdgesFallOnCacheLinesWhereColumnsStartOnOne) {
  Buffer out(8, 0);
  for (int32_t rows : {1, 2, 3, 4, 6, 8, 12, 1000, 1031, 4096})
    for (size_t offset = 0; offset < 8; ++offset)
      for (double workPerColumn : {1.0, 3e3, 1e5, 1e7})
        for (int threads : {2, 3, 16}) {
          const int32_t n = 4096;
          const double *at = out.data + offset;
          const auto starts = [&](int64_t j) {
            const uintptr_t start = reinterpret_cast<uintptr_t>(at) + j * rows * sizeof(double);
            return start % simd::kLineBytes == 0;
          };
          bool anyOnLine = false;
          for (int32_t j = 0; j < 8; ++j) anyOnLine = anyOnLine || starts(j);
          const Blocks b = gateway::shareBlocks(n, workPerColumn, at, rows, threads);
          const std::string where =
              "rows " + std::to_string(rows) + " offset " + std::to_string(offset) + " work " +
              std::to_string(workPerColumn) + " threads " + std::to_string(threads);
          ASSERT_GE(b.size, 1) << where;
          if (b.size >= simd::kBlockColumnStep) {
            ASSERT_EQ(b.size % simd::kBlockColumnStep, 0) << where;
          }
          int64_t covered = 0, blocks = 0;
          for (int64_t j0 = 0; j0 < n; ++blocks) {
            const int64_t j1 = std::min<int64_t>(n, j0 < b.first ? b.first : j0 + b.size);
            ASSERT_GT(j1, j0) << where;
            if (j0 > 0 && anyOnLine) {
              ASSERT_TRUE(starts(j0)) << where << " edge " << j0;
            }
            covered += j1 - j0;
            j0 = j1;
          }
          ASSERT_EQ(covered, n) << where;
          ASSERT_EQ(blocks, gateway::blockCount(b)) << where;
        }
}

// The blocks of [0, n) that b cuts, in order: they must follow each other.
std::vector<std::pair<int32_t, int32_t>> ranges(const Blocks &b) {
  std::vector<std::pair<int32_t, int32_t>> r;
  for (int64_t k = 0; k < gateway::blockCount(b); ++k) {
    Block range;
    gateway::blockAt(b, k, &range.i0, &range.i1);
    r.push_back({range.i0, range.i1});
  }
  return r;
}

// A table's shape and costs, as the planners of its blocks take them.
struct Table {
  int32_t m, n;
  double workPerElement, bytesPerColumn;
};

// A table's blocks cover it once; every column block but the last holds a
// column step or more (never the one or two columns of a tall table's whole
// columns), a whole number of them after the first, which may start the
// line-aligned edges; where rows are cut, row blocks are a whole number
// of the row step after the first, whose edge starts a cache line in every
// column where that can be; and no block holds much more than a block's
// work unless the least block does.
TEST(ThreadedBlocks, PairGridCutsTablesOfEveryShapeIntoCacheSizedBlocks) {
  const Table tables[] = {{2000, 2000, 128, 1024},
                          {50000, 2000, 128, 1024},
                          {2000, 50000, 128, 1024},
                          {200000, 500, 128, 1024},
                          {1000000, 100, 3, 24},
                          {100, 1000000, 3, 24},
                          {1500, 1500, 4000, 8000},
                          {1031, 1033, 1, 8},
                          {8, 1000000, 16, 128},
                          {4096, 3, 64, 512},
                          {0, 5, 3, 24},
                          {5, 0, 3, 24}};
  Buffer out(8, 0);
  constexpr int32_t perLine = simd::kLineBytes / sizeof(double);
  for (const Table &s : tables)
    for (int threads : {1, 2, 16})
      for (size_t offset = 0; offset < 8; ++offset) {
        const double *at = out.data + offset;
        const Grid g = gateway::pairGrid(s.m, s.n, s.workPerElement, s.bytesPerColumn, at, threads);
        const std::string where = std::to_string(s.m) + " x " + std::to_string(s.n) + ", work " +
                                  std::to_string(s.workPerElement) + ", " +
                                  std::to_string(threads) + " threads, offset " +
                                  std::to_string(offset);
        if (s.m == 0 || s.n == 0) {
          ASSERT_EQ(gateway::blockCount(g), 0) << where;
          continue;
        }
        const auto rows = ranges(g.rows), cols = ranges(g.cols);
        ASSERT_EQ(gateway::blockCount(g), int64_t(rows.size() * cols.size())) << where;
        for (const auto *r : {&rows, &cols}) {
          int32_t next = 0;
          for (auto [begin, end] : *r) {
            ASSERT_EQ(begin, next) << where;
            ASSERT_GT(end, begin) << where;
            next = end;
          }
          ASSERT_EQ(next, r == &rows ? s.m : s.n) << where;
        }
        for (size_t k = 0; k + 1 < cols.size(); ++k) {
          const int32_t width = cols[k].second - cols[k].first;
          ASSERT_GE(width, simd::kBlockColumnStep) << where;
          if (k > 0) {
            ASSERT_EQ(width % simd::kBlockColumnStep, 0) << where;
          }
        }
        if (rows.size() > 1) {
          for (size_t k = 1; k + 1 < rows.size(); ++k)
            ASSERT_EQ((rows[k].second - rows[k].first) % simd::kBlockRowStep, 0) << where;
          for (size_t k = 1; k < rows.size() && s.m % perLine == 0; ++k)
            ASSERT_EQ(reinterpret_cast<uintptr_t>(at + rows[k].first) % simd::kLineBytes, 0u)
                << where << " row edge " << rows[k].first;
        }
        for (auto [i0, i1] : rows)
          for (auto [j0, j1] : cols) {
            const double work = double(i1 - i0) * (j1 - j0) * s.workPerElement;
            const double least =
                (simd::kBlockRowStep + perLine) * double(simd::kBlockColumnStep) * s.workPerElement;
            ASSERT_LE(work, std::max(2 * gateway::kBlockWork, least))
                << where << ", block " << i0 << ".." << i1 << " x " << j0 << ".." << j1;
          }
      }
}

// The nearest columns go in blocks of whole columns, of
// even widths, a block for every thread where the columns allow, each
// reading the first input once: never narrower than the column step but
// for the last, unless the threads outnumber the steps of columns.
TEST(ThreadedBlocks, NearestGridKeepsColumnsWholeInEvenBlocks) {
  const Table tables[] = {{100000, 10000, 128, 1024},
                          {50000, 2000, 128, 1024},
                          {500, 16000, 100, 800},
                          {5000, 100, 16, 128},
                          {7, 3, 1000, 8000},
                          {0, 5, 3, 24},
                          {5, 0, 3, 24},
                          {3, 1, 1, 8}};
  for (const Table &s : tables)
    for (int threads : {1, 2, 3, 16}) {
      const Grid g = gateway::nearestGrid(s.m, s.n, s.workPerElement, s.bytesPerColumn, threads);
      const std::string where = std::to_string(s.m) + " x " + std::to_string(s.n) + ", " +
                                std::to_string(threads) + " threads";
      ASSERT_GE(g.cols.size, 1) << where;
      if (s.m == 0 || s.n == 0) {
        ASSERT_EQ(gateway::blockCount(g), 0) << where;
        continue;
      }
      ASSERT_EQ(gateway::blockCount(g.rows), 1) << where;
      const auto cols = ranges(g.cols);
      ASSERT_EQ(cols.front().first, 0) << where;
      ASSERT_EQ(cols.back().second, s.n) << where;
      for (size_t k = 0; k + 1 < cols.size(); ++k) {
        ASSERT_EQ(cols[k].second, cols[k + 1].first) << where;
        if (threads * simd::kBlockColumnStep <= s.n) {
          ASSERT_GE(cols[k].second - cols[k].first, simd::kBlockColumnStep) << where;
        }
      }
      if (threads > 1 && s.n >= threads * simd::kBlockColumnStep) {
        ASSERT_GE(int64_t(cols.size()), threads) << where << ": a block for every thread";
      }
    }
}

// A call's blocks under a poll that says stop at its stopAt-th question.
// It records the threads that ask and the threads that run blocks, how many
// blocks run at once and whether any ran after the call returned. Blocks
// wait on the others, never on time, so that every thread takes part however
// the machine schedules them: the calling thread's first block waits until a
// worker has started one, and a worker's block until the poll has been asked
// releaseAt times.
struct Recorder {
  Recorder(int stopAt, int releaseAt) : stopAt(stopAt), releaseAt(releaseAt) {}
  const int stopAt, releaseAt;
  const std::thread::id caller = std::this_thread::get_id();
  std::mutex lock;
  std::condition_variable changed;
  std::set<std::thread::id> askers, runners;
  int asked = 0;
  std::atomic<int> running{0}, ran{0};
  std::atomic<bool> returned{false}, late{false};

  static bool goOn(void *ctx) {
    Recorder *r = static_cast<Recorder *>(ctx);
    std::lock_guard<std::mutex> held(r->lock);
    r->askers.insert(std::this_thread::get_id());
    ++r->asked;
    r->changed.notify_all();
    return r->asked < r->stopAt;
  }

  void operator()(const Block &) {
    if (returned) late = true;
    ++running;
    {
      std::unique_lock<std::mutex> held(lock);
      runners.insert(std::this_thread::get_id());
      changed.notify_all();
      if (std::this_thread::get_id() == caller)
        changed.wait(held, [&] { return runners.size() > 1; });
      else
        changed.wait(held, [&] { return asked >= releaseAt; });
    }
    ++ran;
    --running;
    if (returned) late = true;
  }
};

// The blocks on `threads` threads, the recorder as poll and body; the body
// learns when the call has returned.
gateway::Shared runRecorded(const Grid &g, int threads, Recorder &r) {
  const gateway::Shared result =
      gateway::forSharedBlocks(g, threads, gateway::Poll{Recorder::goOn, &r}, nullptr, r);
  r.returned = true;
  return result;
}

TEST(ThreadedBlocks, PollIsAskedBetweenBlocksOnTheCallingThreadOnly) {
  Recorder r(1000, 1);
  ASSERT_EQ(runRecorded(Grid{{2, 0, 1}, {24, 0, 1}}, 3, r), gateway::Shared::kDone);
  EXPECT_EQ(r.ran, 48);
  EXPECT_EQ(r.running, 0);
  EXPECT_GT(r.runners.size(), 1u) << "no worker took a block";
  EXPECT_EQ(r.askers, std::set<std::thread::id>{std::this_thread::get_id()});
  EXPECT_GE(r.asked, 1);
  EXPECT_LT(r.asked, 48);
  gateway::releaseWorkers();
  EXPECT_FALSE(r.late);
}

TEST(ThreadedBlocks, StopHandsOutNoMoreBlocksAndWaitsForRunningOnes) {
  // The caller runs two blocks, asks after each and stops at the second
  // answer; each worker holds one block until then. Between the answer and
  // the caller's acting on it workers may take a few more blocks, never
  // the billion left.
  const int32_t n = 1 << 30;
  Recorder r(2, 2);
  ASSERT_EQ(runRecorded(Grid{gateway::whole(1), {n, 0, 1}}, 4, r), gateway::Shared::kStopped);
  EXPECT_EQ(r.running, 0);
  EXPECT_LT(r.ran, n);
  EXPECT_EQ(r.asked, 2);
  gateway::releaseWorkers();  // joins the workers: a block still running would show now
  EXPECT_FALSE(r.late);
  EXPECT_EQ(r.running, 0);
}

// The calls of one process at once: one shares the pool, the others run
// alone, and each gets every block of its own, every element of its grid
// once.
TEST(ThreadedBlocks, ConcurrentCallsEachRunAllTheirBlocks) {
  std::vector<std::thread> callers;
  std::atomic<int> wrong{0};
  for (int k = 0; k < 4; ++k)
    callers.emplace_back([&wrong, k] {
      for (int round = 0; round < 20; ++round) {
        const int32_t m = 5, n = 100 + k;
        std::vector<std::atomic<int>> hits(m * n);
        auto body = [&](const Block &b) {
          for (int32_t j = b.j0; j < b.j1; ++j)
            for (int32_t i = b.i0; i < b.i1; ++i) ++hits[i + j * m];
        };
        const Grid g{{m, k % 2, 2}, {n, 3, 2 + k}};
        const gateway::Shared r =
            gateway::forSharedBlocks(g, 3, gateway::Poll{nullptr, nullptr}, nullptr, body);
        if (r == gateway::Shared::kNotShared) body(Block{0, m, 0, n});
        for (auto &h : hits) wrong += h != 1;
      }
    });
  for (std::thread &t : callers) t.join();
  EXPECT_EQ(wrong, 0);
}

}  // namespace
