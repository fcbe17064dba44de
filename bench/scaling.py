"""Times every workload on 1, 2, ... up to all the CPUs this process may use
(EXACTMEX_THREADS), on the target a module picks, and prints how much faster
each thread count is than one; then the pairwise workloads on all of them
against their single-threaded peers and scikit-learn's pairwise functions
on as many processes (n_jobs).

Times are wall-clock (the threads' work is what is timed), the minimum over
repeats: the machine is shared, and what others run only ever adds time.

bench/compare.sh runs it after the other comparisons.
"""
import argparse
import os
import sys
import time

import numpy as np
from scipy.spatial.distance import cdist
from sklearn.metrics.pairwise import additive_chi2_kernel, pairwise_distances, pairwise_kernels

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare import ROOT, SECONDS, Host, bench_report, best_time, save_results  # noqa: E402
from compare_pairwise import pairwise_inputs  # noqa: E402


def run_threads(build, threads, repetitions):
    """{workload: min wall seconds} of our recycled-output calls on `threads`,
    and of the threads floor: arithmetic alone split over as many threads,
    the most any workload can gain on the machine at the time."""
    report = bench_report(build, None, repetitions,
                          "^(W[1-5][ab]?|S) .*recycled$|^floor threads$", threads)
    best, rate = {}, {}
    for b in report["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        name = b["run_name"].replace(" recycled", "")
        t = b["real_time"] * SECONDS[b["time_unit"]]
        best[name] = min(t, best.get(name, t))
        # Work per CPU cycle of the whole process, all its threads.
        for key, value in b.items():
            if key.endswith("/cycle"):
                rate[name] = max(value, rate.get(name, value))
    return best, rate


# Peers on one thread, and scikit-learn's on n_jobs processes, each checked
# against ours first.
PEERS = [
    ("W4a sampledist L1", lambda: pairwise_inputs(128, 2000, 2000) + (1,),
     [("scipy cdist", lambda A, B, jobs: cdist(A.T, B.T, "cityblock")),
      ("scikit-learn n_jobs", lambda A, B, jobs: pairwise_distances(
          A.T, B.T, metric="manhattan", n_jobs=jobs))]),
    ("W5 bindist chi2", lambda: pairwise_inputs(256, 1000, 1000) + (2,),
     [("scikit-learn", lambda A, B, jobs: -0.5 * additive_chi2_kernel(A.T, B.T)),
      ("scikit-learn n_jobs", lambda A, B, jobs: -0.5 * pairwise_kernels(
          A.T, B.T, metric="additive_chi2", n_jobs=jobs))]),
]


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--build", default=os.path.join(ROOT, "build"))
    p.add_argument("--repetitions", type=int, default=5)
    args = p.parse_args()
    cpus = len(os.sched_getaffinity(0))
    counts = list(range(1, cpus + 1))
    ours, rates = {}, {}
    for threads in counts:
        print("Timing our modules on %d thread(s)..." % threads, flush=True)
        ours[threads], rates[threads] = run_threads(args.build, threads, args.repetitions)

    print("\nWall ms, minimum of %d, on 1 to %d threads; 'n x' is the 1-thread time "
          "over the n-thread time; 'n work' the work done per CPU second on n threads, "
          "against 1 (below 1: the threads cost extra work).\n" % (args.repetitions, cpus))
    header = ["workload"] + ["%d thread%s ms" % (t, "s" if t > 1 else "") for t in counts]
    header += ["%d x" % t for t in counts[1:]] + ["%d work" % t for t in counts[1:]]
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for name in ours[1]:
        cells = ["%.3g" % (ours[t][name] * 1e3) for t in counts]
        cells += ["%.2f" % (ours[1][name] / ours[t][name]) for t in counts[1:]]
        cells += ["%.2f" % (rates[t][name] / rates[1][name]) if name in rates[1] else "-"
                  for t in counts[1:]]
        print("| %s | %s |" % (name, " | ".join(cells)))

    host = Host(args.build)
    peers = {}
    print("\nOurs on %d threads against peers (peer / ours; scikit-learn n_jobs=%d):\n"
          % (cpus, cpus))
    print("| workload | ours ms | peer | peer ms | peer / ours |")
    print("|---|---|---|---|---|")
    for name, inputs, candidates in PEERS:
        A, B, code = inputs()
        want = host.call(name.split()[1], [A, B, np.array([[float(code)]])])
        for peer, call in candidates:
            if not np.allclose(want, call(A, B, cpus), rtol=1e-9, atol=1e-12):
                sys.exit("%s: %s's result differs from ours" % (name, peer))
            t = best_time(lambda: call(A, B, cpus), args.repetitions, clock=time.perf_counter)
            peers.setdefault(name, {})[peer] = t
            mine = ours[cpus][name]
            print("| %s | %.1f | %s | %.1f | %.2f |" % (name, mine * 1e3, peer, t * 1e3, t / mine))
    save_results(args.build, "scaling", {"ours": ours, "work": rates, "peers": peers,
                                         "cpus": cpus})


if __name__ == "__main__":
    main()
