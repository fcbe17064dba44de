"""Times our modules on single and uint8 data against the same calls on
doubles of the same values (the benchmark's "C" workloads, whole numbers
from 0 to 255 in every class), on one thread and on all; then the peers on
the same values: faiss IndexFlat L1 (float32) for the nearest columns,
scipy cdist and Octave statistics pdist2 for the table; last, the memory a
nearest-columns call on a large uint8 reference set needs beyond its inputs
and outputs.

Peers' answers are checked against ours first: faiss and scipy must agree
within float32 rounding (here exactly: every sum is a whole number below
2^24); Octave's pdist2 is reported where it differs, not trusted.

bench/compare.sh runs it; bench/report.py weighs it against the goals.
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare import ROOT, Host, best_time, bench_report, best_times, save_results  # noqa: E402

# The nearest columns: d, N1 references, N2 queries, k; the table: d, side.
KNN = (128, 50000, 2000, 10)
TABLE = (128, 4096)
# pdist2 is timed on this many columns of X2 and scaled to all of them.
PDIST2_COLUMNS = 256
# The memory goal's call: uint8, d, references, queries, k.
MEMORY = (128, 2000000, 10000, 10)
DTYPE = {"double": np.float64, "single": np.float32, "uint8": np.uint8}


def values(d, n, seed):
    """Whole numbers from 0 to 255, as the benchmark's class workloads hold."""
    return np.asfortranarray(np.random.default_rng(seed).integers(0, 256, (d, n), dtype=np.uint8))


def ours(build, repetitions, threads):
    """{workload: seconds} of every class workload on `threads` threads."""
    return best_times(bench_report(build, None, repetitions, "^C .* recycled$", threads), threads)


def faiss_times(X1, X2, k, threads):
    import faiss
    faiss.omp_set_num_threads(threads)
    index = faiss.IndexFlat(X1.shape[0], faiss.METRIC_L1)
    index.add(np.ascontiguousarray(X1.T, dtype=np.float32))
    queries = np.ascontiguousarray(X2.T, dtype=np.float32)
    return index.search(queries, k)[0], best_time(lambda: index.search(queries, k), 1,
                                                    clock=time.perf_counter)


def pdist2(folder, X1, X2, cls):
    """Octave statistics pdist2 (L1) on the first PDIST2_COLUMNS
    columns of X2 in class cls: its seconds scaled to all of X2, and its
    table of those columns as doubles."""
    X1.T.tofile(os.path.join(folder, "X1.bin"))
    X2[:, :PDIST2_COLUMNS].T.copy().tofile(os.path.join(folder, "X2.bin"))
    script = os.path.join(folder, "pdist2.m")
    with open(script, "w") as f:
        f.write(f"""
pkg load statistics
fid = fopen('{folder}/X1.bin'); X1 = {cls}(fread(fid, [{X1.shape[0]} {X1.shape[1]}], 'uint8=>double')); fclose(fid);
fid = fopen('{folder}/X2.bin'); X2 = {cls}(fread(fid, [{X2.shape[0]} {PDIST2_COLUMNS}], 'uint8=>double')); fclose(fid);
t0 = tic(); D = pdist2(X1', X2', 'L1'); t = toc(t0);
fid = fopen('{folder}/D.bin', 'w'); fwrite(fid, double(D), 'double'); fclose(fid);
printf('%.9g\\n', t);
""")
    out = subprocess.run(["octave-cli", "--no-gui", "--norc", "--quiet", script], check=True,
                         capture_output=True, text=True).stdout
    D = np.fromfile(os.path.join(folder, "D.bin")).reshape((X1.shape[1], PDIST2_COLUMNS),
                                                           order="F")
    return float(out) * X2.shape[1] / PDIST2_COLUMNS, D


def table_peers(host, repetitions):
    """scipy cdist and Octave pdist2 on the table's values, by class, each
    checked against our table of the same values."""
    from scipy.spatial.distance import cdist
    d, side = TABLE
    X1, X2 = values(d, side, 1), values(d, side, 2)
    want = host.call("sampledist", [X1, X2, np.array([[1.0]])])
    peers = {}
    for cls in ("single", "uint8"):
        A, B = X1.astype(DTYPE[cls]), X2.astype(DTYPE[cls])
        got = cdist(A.T, B.T, "cityblock")
        if not np.array_equal(got, want):
            sys.exit("scipy cdist on %s differs from our table" % cls)
        peers["scipy cdist " + cls] = best_time(lambda: cdist(A.T, B.T, "cityblock"), repetitions,
                                                clock=time.perf_counter)
        try:
            with tempfile.TemporaryDirectory() as folder:
                t, D = pdist2(folder, X1, X2, cls)
        except (OSError, subprocess.CalledProcessError) as e:
            print("== skipped Octave pdist2 on %s: %s" % (cls, e))
            continue
        wrong = int(np.sum(D != want[:, :PDIST2_COLUMNS]))
        if wrong:
            print("Octave pdist2 on %s: %d of %d distances differ from the exact ones "
                  "(smallest ratio %.3f)" % (cls, wrong, D.size,
                                             np.min(D / np.maximum(want[:, :PDIST2_COLUMNS], 1))))
        peers["Octave pdist2 " + cls] = t
    return peers


def memory_worker(build):
    """Run in a process of its own: the peak resident memory a uint8
    nearest-columns call adds to its inputs, and what its outputs need."""
    d, n1, n2, k = MEMORY
    host = Host(build)
    X1 = host.array(values(d, n1, 3))  # the numpy copies are freed here
    X2 = host.array(values(d, n2, 4))

    def resident(field):
        with open("/proc/self/status") as f:
            return next(int(line.split()[1]) * 1024 for line in f if line.startswith(field))
    with open("/proc/self/clear_refs", "w") as f:
        f.write("5")  # the peak starts again from here
    before = resident("VmRSS:")
    D, I = host.call("sampleknn", [X1, X2, np.array([[1.0]]), np.array([[float(k)]])], nout=2)
    json.dump({"extra": resident("VmHWM:") - before, "outputs": D.nbytes + I.nbytes},
              sys.stdout)


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--build", default=os.path.join(ROOT, "build"))
    p.add_argument("--repetitions", type=int, default=3)
    p.add_argument("--memory-worker", action="store_true")
    args = p.parse_args()
    if args.memory_worker:
        return memory_worker(args.build)
    cpus = len(os.sched_getaffinity(0))
    host = Host(args.build)
    results = {"cpus": cpus, "ours": {}, "faiss": {}}
    for threads in sorted({1, cpus}):
        print("Our class workloads on %d thread(s)..." % threads, flush=True)
        results["ours"][str(threads)] = ours(args.build, args.repetitions, threads)

    d, n1, n2, k = KNN
    X1, X2 = values(d, n1, 5), values(d, n2, 6)
    want = host.call("sampleknn", [X1, X2, np.array([[1.0]]), np.array([[float(k)]])])
    try:
        for threads in sorted({1, cpus}):
            got, t = faiss_times(X1, X2, k, threads)
            if not np.array_equal(got.T, want):
                sys.exit("faiss's nearest distances differ from ours")
            results["faiss"][str(threads)] = t
    except ImportError as e:
        print("== skipped faiss: %s" % e)
    print("The table's peers...", flush=True)
    results["table peers"] = table_peers(host, args.repetitions)
    print("A uint8 nearest-columns call of %d references: its memory..." % MEMORY[1], flush=True)
    results["memory"] = json.loads(subprocess.run(
        [sys.executable, os.path.abspath(__file__), "--memory-worker", "--build", args.build],
        check=True, capture_output=True, text=True).stdout)

    print("\nSeconds of each class workload, and the double call's over it (above 1: faster).\n")
    print("| workload | class | threads | seconds | double / class |")
    print("|---|---|---|---|---|")
    for threads, times in results["ours"].items():
        for name, t in sorted(times.items()):
            base, cls = name[:-len(" recycled")].rsplit(" ", 1)
            print("| %s | %s | %s | %.4f | %.2f |" % (base, cls, threads, t,
                                                     times[base + " double recycled"] / t))
    for threads, t in results["faiss"].items():
        print("faiss IndexFlat L1 on %s thread(s): %.3f s" % (threads, t))
    for peer, t in results["table peers"].items():
        print("%s, one thread (Octave scaled): %.3f s" % (peer, t))
    m = results["memory"]
    print("uint8 nearest columns: %.1f MiB beyond the inputs, outputs %.1f MiB"
          % (m["extra"] / 2**20, m["outputs"] / 2**20))
    save_results(args.build, "classes", results)


if __name__ == "__main__":
    main()
