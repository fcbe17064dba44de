"""Times each query's nearest columns (W6) on our modules and on their peers,
every one on all the CPUs this process may use, after checking each peer's
answer against ours; then our nearest-column calls against our table calls
of the same sizes (K), on one thread and on all.

W6a: L1, d = 128, 100,000 reference columns, 10,000 queries, k = 10.
W6b: chi-square, d = 64, 50,000 reference columns, 5,000 queries, k = 5.

Peers: faiss IndexFlat (METRIC_L1, in float32: it has no double index, and
no chi-square), scikit-learn NearestNeighbors(algorithm='brute') for L1 and
its chi-square kernel over chunks of queries with argpartition for
chi-square (it has no chi-square distance), Octave statistics pdist2 +
sort, and our own table + Octave's sort. Octave runs one thread, and its two
are timed on the first queries only and scaled to all of them (the table of
W6a is 8 GB, and pdist2 alone would take twenty minutes). Times are wall
clock, the minimum over repeats (ours) or of one or two runs (the peers).

bench/compare.sh runs it; bench/report.py weighs it against the goals.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare import (ROOT, Host, bench_report, best_time, best_times, run_bench,  # noqa: E402
                     save_results)
from compare_pairwise import pairwise_inputs  # noqa: E402

# name, module, table module, d, N1, N2, code, k, pdist2's metric, queries
# the Octave peers take.
WORKLOADS = [
    ("W6a sampleknn L1 k=10", "sampleknn", "sampledist", 128, 100000, 10000, 1, 10, "L1", 100),
    ("W6b binknn chi2 k=5", "binknn", "bindist", 64, 50000, 5000, 2, 5, "chisq", 200),
]
CHECKED = 40  # queries whose answers are compared


def faiss_peer(threads):
    import faiss
    faiss.omp_set_num_threads(threads)

    def search(X1, X2, k, metric):
        if metric != "L1":
            return None
        index = faiss.IndexFlat(X1.shape[0], faiss.METRIC_L1)
        index.add(np.ascontiguousarray(X1.T, dtype=np.float32))
        return index.search(np.ascontiguousarray(X2.T, dtype=np.float32), k)[0]
    return search


def sklearn_peer(threads):
    from sklearn.metrics.pairwise import pairwise_kernels
    from sklearn.neighbors import NearestNeighbors

    def search(X1, X2, k, metric):
        if metric == "L1":
            nn = NearestNeighbors(n_neighbors=k, algorithm="brute", metric="manhattan",
                                  n_jobs=threads).fit(X1.T)
            return nn.kneighbors(X2.T)[0]
        # Chi-square as -0.5 times the additive chi-square kernel, queries in
        # chunks of a few hundred MB, k smallest of each by argpartition.
        rows = []
        step = max(1, (256 << 20) // (8 * X1.shape[1]))
        for q in range(0, X2.shape[1], step):
            D = -0.5 * pairwise_kernels(X2[:, q:q + step].T, X1.T, metric="additive_chi2",
                                        n_jobs=threads)
            part = np.argpartition(D, k - 1, axis=1)[:, :k]
            rows.append(np.sort(np.take_along_axis(D, part, axis=1), axis=1))
        return np.vstack(rows)
    return search


def octave_peers(folder, name, X1, X2, k, metric, table, queries, threads):
    """Octave statistics pdist2 + sort and our table + Octave's sort on the
    first `queries` queries, in seconds for all of them, and the distances
    each found for the first CHECKED queries."""
    for key, x in (("X1", X1), ("X2", X2[:, :queries])):
        np.asfortranarray(x).T.tofile(os.path.join(folder, key + ".bin"))
    script = os.path.join(folder, "nearest.m")
    octdir = os.path.join(ROOT, "build", "octave", "exactmex")
    with open(script, "w") as f:
        f.write(f"""
pkg load statistics
addpath('{octdir}');
fid = fopen('{folder}/X1.bin'); X1 = fread(fid, [{X1.shape[0]} {X1.shape[1]}], 'double'); fclose(fid);
fid = fopen('{folder}/X2.bin'); X2 = fread(fid, [{X2.shape[0]} {queries}], 'double'); fclose(fid);
setenv('EXACTMEX_THREADS', '{threads}');
t0 = tic(); D = sort(pdist2(X1', X2', '{metric}')); D = D(1:{k}, :); t1 = toc(t0);
t0 = tic(); E = sort({table}(X1, X2, {2 if metric == 'chisq' else 1})); E = E(1:{k}, :); t2 = toc(t0);
fid = fopen('{folder}/D.bin', 'w'); fwrite(fid, [D(:, 1:{CHECKED}); E(:, 1:{CHECKED})], 'double'); fclose(fid);
printf('%.9g %.9g\\n', t1, t2);
""")
    out = subprocess.run(["octave-cli", "--no-gui", "--norc", "--quiet", script], check=True,
                         capture_output=True, text=True).stdout.split()
    scale = X2.shape[1] / queries
    both = np.fromfile(os.path.join(folder, "D.bin")).reshape((2 * k, CHECKED), order="F")
    return float(out[0]) * scale, float(out[1]) * scale, both[:k].T, both[k:].T


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--build", default=os.path.join(ROOT, "build"))
    p.add_argument("--repetitions", type=int, default=3)
    args = p.parse_args()
    cpus = len(os.sched_getaffinity(0))
    host = Host(args.build)
    peers = {"faiss (float32)": faiss_peer(cpus), "scikit-learn": sklearn_peer(cpus)}
    times = {}
    with tempfile.TemporaryDirectory() as folder:
        for name, module, table, d, n1, n2, code, k, metric, queries in WORKLOADS:
            print("%s: peers on %d threads..." % (name, cpus), flush=True)
            X1, X2 = pairwise_inputs(d, n1, n2)
            want = host.call(module, [X1, X2[:, :CHECKED], np.array([[code]]),
                                      np.array([[k]])]).T  # queries by rank
            times[name] = {}
            for peer, search in peers.items():
                got = search(X1, X2[:, :CHECKED], k, metric)
                if got is None:
                    continue
                tol = 1e-4 if peer.startswith("faiss") else 1e-9
                if not np.allclose(got, want, rtol=tol, atol=0):
                    sys.exit("%s: %s's nearest distances differ from ours" % (name, peer))
                times[name][peer] = best_time(lambda: search(X1, X2, k, metric), 1,
                                              clock=time.perf_counter)
            stats, ours_sorted, D, E = octave_peers(folder, name, X1, X2, k, metric, table,
                                                    queries, cpus)
            for peer, got in (("Octave statistics pdist2 + sort", D),
                              ("our table + Octave sort", E)):
                if not np.allclose(got, want, rtol=1e-12, atol=0):
                    sys.exit("%s: %s's nearest distances differ from ours" % (name, peer))
            times[name]["Octave statistics pdist2 + sort"] = stats
            times[name]["our table + Octave sort"] = ours_sorted
    print("Timing our modules...", flush=True)
    ours = run_bench(args.build, None, args.repetitions, "^W6.* recycled$", threads=cpus)
    reports = {t: bench_report(args.build, None, args.repetitions, "^K .* recycled$", t)
               for t in sorted({1, cpus})}
    fused = {t: best_times(r, t) for t, r in reports.items()}
    # Our nearest-column calls and the table calls of the same inputs, as the
    # modules' descriptions pair them (the benchmark's context).
    tables = {name[len("table of "):]: table for name, table in reports[1]["context"].items()
              if name.startswith("table of ")}

    print("\nWall seconds on %d threads (Octave's own code on one); peer / ours above 1 means "
          "ours is faster.\n" % cpus)
    print("| workload | ours s | peer | peer s | peer / ours |")
    print("|---|---|---|---|---|")
    for name, *_ in WORKLOADS:
        mine = ours[name + " recycled"]
        for peer, t in times[name].items():
            print("| %s | %.2f | %s | %.1f | %.1f |" % (name, mine, peer, t, t / mine))
    print("\nOur nearest-column calls against our table calls of the same sizes:\n")
    print("| workload | table | threads | nearest ms | table ms | nearest / table |")
    print("|---|---|---|---|---|---|")
    for knn, table in tables.items():
        for t, r in fused.items():
            a, b = r[knn + " recycled"], r[table + " recycled"]
            print("| %s | %s | %d | %.0f | %.0f | %.2f |" % (knn, table, t, a * 1e3, b * 1e3, a / b))
    save_results(args.build, "nearest", {"ours": ours, "peers": times, "cpus": cpus,
                                         "fused": {str(t): r for t, r in fused.items()},
                                         "tables": tables})


if __name__ == "__main__":
    main()
