"""Times the workloads on our modules and on their peers in one run, checks
every peer's output against ours first, and prints a table of ratios.

Ours: bench/exactmex_bench (Google Benchmark) through the standalone host,
once per instruction-set target the machine has, next to a streaming-copy
floor of the same size. Peers: numpy writing into an existing array (out=),
and Octave's built-in expressions, which make their output as our fresh-output
calls do. Times are CPU time of the timed thread, the minimum over repeats:
the machine is shared, and what others run only ever adds time.

Run through bench/compare.sh, which installs the peers and builds the bench.
"""
import argparse
import ctypes
import json
import os
import re
import subprocess
import sys
import tempfile
import time

import numpy as np

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# The instruction-set targets, in the order of simd/targets.h's list; those
# this machine lacks are skipped when timed.
with open(os.path.join(ROOT, "simd", "targets.h")) as f:
    TARGETS = re.findall(r"^  T\((\w+),", f.read(), re.M)
SIDE = 4096
# Seconds per time unit of the benchmark program's report.
SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


# --- Workloads --------------------------------------------------------------
# Each: the name the bench gives it, inputs (column-major arrays, MATLAB's
# order), the module call on them, numpy's form writing into `out`, and
# Octave's expression over the same names. W3 meshapply (numpy out=, Octave),
# W4 sampledist (scipy cdist, scikit-learn pairwise_distances) and W5 bindist
# (a C histogram-distance library, scikit-learn chi2_kernel, numpy with
# scipy.special.xlogy) join this list.

def w1_inputs(d):
    rng = np.random.default_rng(1)
    X = np.asfortranarray(rng.uniform(-100, 100, (SIDE, SIDE)))
    v = rng.uniform(-100, 100, (SIDE, 1) if d == 1 else (1, SIDE))
    return {"X": X, "v": v, "d": np.array([[float(d)]]), "opcode": np.array([[1.0]])}


def w2_inputs():
    rng = np.random.default_rng(2)
    return {"X": np.asfortranarray(rng.uniform(-100, 100, (SIDE, SIDE))),
            "vrow": rng.uniform(-100, 100, (1, SIDE)),
            "vcol": rng.uniform(-100, 100, (SIDE, 1)),
            "opcode": np.array([[1.0]])}


def crossfuse_numpy(a, out):
    np.add(a["vrow"], a["X"], out=out)
    np.add(out, a["vcol"], out=out)


WORKLOADS = [
    {"name": "W1 lanefuse add d=1", "module": "lanefuse", "args": ["X", "v", "d", "opcode"],
     "inputs": lambda: w1_inputs(1),
     "numpy": lambda a, out: np.add(a["X"], a["v"], out=out),
     "octave": "Y = X + v;"},
    {"name": "W1 lanefuse add d=2", "module": "lanefuse", "args": ["X", "v", "d", "opcode"],
     "inputs": lambda: w1_inputs(2),
     "numpy": lambda a, out: np.add(a["X"], a["v"], out=out),
     "octave": "Y = X + v;"},
    {"name": "W2 crossfuse sum", "module": "crossfuse", "args": ["X", "vrow", "vcol", "opcode"],
     "inputs": w2_inputs,
     "numpy": crossfuse_numpy,
     "octave": "Y = (vrow + X) + vcol;"},
]


# --- Our modules, called through the standalone host with ctypes ---------------

# The numpy types of the host's classes (mxClassID), and back.
DTYPES = {6: np.dtype(np.float64), 7: np.dtype(np.float32), 8: np.dtype(np.int8),
          9: np.dtype(np.uint8), 10: np.dtype(np.int16), 11: np.dtype(np.uint16),
          12: np.dtype(np.int32), 13: np.dtype(np.uint32)}
CLASS_IDS = {dtype: cls for cls, dtype in DTYPES.items()}


class HostArray(int):
    """An array made by the host, by its address."""


class Host:
    def __init__(self, build):
        mode = ctypes.RTLD_GLOBAL
        self.mx = ctypes.CDLL(os.path.join(build, "host", "libmx.so"), mode=mode)
        self.mex = ctypes.CDLL(os.path.join(build, "host", "libmex.so"), mode=mode)
        # The name MATLAB's libmx gives it for 64-bit sizes, as ours does.
        self.create = self.mx.mxCreateNumericMatrix_730
        self.create.restype = ctypes.c_void_p
        self.create.argtypes = [ctypes.c_size_t, ctypes.c_size_t, ctypes.c_int, ctypes.c_int]
        self.mx.mxGetData.restype = ctypes.c_void_p
        self.mx.mxGetData.argtypes = [ctypes.c_void_p]
        self.mx.mxGetClassID.argtypes = [ctypes.c_void_p]
        self.mx.mxGetM.restype = self.mx.mxGetN.restype = ctypes.c_size_t
        self.mx.mxGetM.argtypes = self.mx.mxGetN.argtypes = [ctypes.c_void_p]
        self.mx.mxDestroyArray.argtypes = [ctypes.c_void_p]
        self.mex.mexHostCall.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_void_p,
                                         ctypes.c_int, ctypes.c_void_p]
        self.mex.mexHostLastError.restype = ctypes.c_char_p
        self.build = build
        self.modules = {}

    def array(self, x):
        """A host array of x's values and class (numpy arrays of other types
        as double); the caller destroys it."""
        if x.dtype not in CLASS_IDS:
            x = x.astype(np.float64)
        x = np.asfortranarray(x)
        a = self.create(x.shape[0], x.shape[1], CLASS_IDS[x.dtype], 0)
        ctypes.memmove(self.mx.mxGetData(a), x.ctypes.data, x.nbytes)
        return HostArray(a)

    def call(self, module, inputs, nout=1):
        """The module's first nout outputs of a call on inputs (arrays, or host
        arrays made by array(), which the call destroys)."""
        if module not in self.modules:
            path = os.path.join(self.build, "mex", module + ".mexa64")
            self.modules[module] = ctypes.CDLL(path)
        fn = ctypes.cast(self.modules[module].mexFunction, ctypes.c_void_p)
        arrays = [x if isinstance(x, HostArray) else self.array(np.atleast_2d(x)) for x in inputs]
        prhs = (ctypes.c_void_p * len(arrays))(*arrays)
        plhs = (ctypes.c_void_p * nout)()
        failed = self.mex.mexHostCall(fn, nout, plhs, len(arrays), prhs)
        for a in arrays:
            self.mx.mxDestroyArray(a)
        if failed:
            raise RuntimeError(self.mex.mexHostLastError().decode())
        outputs = []
        for out in plhs:
            m, n = self.mx.mxGetM(out), self.mx.mxGetN(out)
            dtype = DTYPES[self.mx.mxGetClassID(out)]
            data = ctypes.cast(self.mx.mxGetData(out), ctypes.POINTER(np.ctypeslib.as_ctypes_type(dtype)))
            outputs.append(np.ctypeslib.as_array(data, shape=(m * n,)).copy().reshape((m, n), order="F")
                           if m * n else np.zeros((m, n), dtype))
            self.mx.mxDestroyArray(out)
        return outputs[0] if nout == 1 else outputs


def same_bits(a, b):
    return a.shape == b.shape and np.array_equal(
        np.ascontiguousarray(a).view(np.uint64), np.ascontiguousarray(b).view(np.uint64))


# --- Timing -------------------------------------------------------------------

def best_time(call, repetitions, clock=time.process_time):
    """The shortest of repeated calls, in CPU time: what others run on the
    shared machine only ever adds time."""
    best = float("inf")
    for _ in range(repetitions):
        t0 = clock()
        call()
        best = min(best, clock() - t0)
    return best


def fastest_floor(runs, kinds, size):
    """Every bench run times the floors again: the floor is the fastest of all
    the runs and of the kinds given ("copy", "memcpy", "fill", ...)."""
    names = ["floor %s %s" % (kind, size) for kind in kinds]
    return min(r[name] for r in runs for name in names if name in r)


def bench_report(build, target, repetitions, only, threads):
    """The benchmark program's JSON report of the benchmarks `only` matches,
    on `threads` threads and one target (None: the one a module picks), or
    None when the machine lacks the target."""
    env = dict(os.environ, EXACTMEX_THREADS=str(threads))
    env.pop("EXACTMEX_TARGET", None)
    if target:
        env["EXACTMEX_TARGET"] = target
    out = subprocess.run(
        [os.path.join(build, "bench", "exactmex_bench"), "--benchmark_format=json",
         "--benchmark_repetitions=%d" % repetitions, "--benchmark_min_time=0.2",
         # Repetitions spread over the whole run, so that a busy spell on the
         # shared machine slows some of each benchmark's, not all of one's.
         "--benchmark_enable_random_interleaving=true", "--benchmark_filter=" + only],
        env=env, check=True, capture_output=True, text=True).stdout
    report = json.loads(out)
    if target and report["context"].get("exactmex target") != target:
        return None
    return report


def run_bench(build, target, repetitions, only=".", threads=1):
    """Our times for one target (None: the one a module picks): {benchmark
    name: min seconds}, CPU time on one thread, wall time on more, or None
    when the machine lacks the target. `only` filters the benchmarks by name."""
    report = bench_report(build, target, repetitions, only, threads)
    return None if report is None else best_times(report, threads)


def best_times(report, threads):
    """{benchmark name: min seconds} of a report on `threads` threads."""
    best = {}
    for b in report["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        t = b["cpu_time" if threads == 1 else "real_time"] * SECONDS[b["time_unit"]]
        best[b["run_name"]] = min(t, best.get(b["run_name"], t))
    return best


def time_numpy(workloads, repetitions):
    """numpy's times, in a process of its own: this environment may set
    OPENBLAS_CORETYPE and OPENBLAS_L2_SIZE for old OpenBLAS builds, which slow
    a current numpy down, so they are unset for it alone."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("OPENBLAS_CORETYPE", "OPENBLAS_L2_SIZE")}
    names = [w["name"] for w in workloads]
    out = subprocess.run(
        [sys.executable, os.path.abspath(__file__), "--numpy-worker",
         "--repetitions", str(repetitions)] + names,
        env=env, check=True, capture_output=True, text=True).stdout
    return json.loads(out)


def numpy_worker(names, repetitions):
    times = {}
    for w in WORKLOADS:
        if w["name"] not in names:
            continue
        a = w["inputs"]()
        out = np.empty(a["X"].shape, order="F")
        w["numpy"](a, out)  # pages of out mapped before timing
        times[w["name"]] = best_time(lambda: w["numpy"](a, out), repetitions, time.thread_time)
    json.dump(times, sys.stdout)


def write_inputs(folder, key, a):
    for name, x in a.items():
        np.asfortranarray(x).T.tofile(os.path.join(folder, "%s_%s.bin" % (key, name)))


def time_octave(workloads, repetitions, folder):
    """Octave's times for each workload's expression, and its results, read
    back to check against ours."""
    lines = ["function x = load_(f, m, n)", "  fid = fopen(f); x = fread(fid, [m n], 'double');",
             "  fclose(fid);", "end", "times = [];"]
    for k, w in enumerate(workloads):
        a = w["inputs"]()
        write_inputs(folder, k, a)
        for name, x in a.items():
            lines.append("%s = load_('%s/%d_%s.bin', %d, %d);" % (name, folder, k, name,
                                                                 x.shape[0], x.shape[1]))
        lines += ["best = Inf;", "for r = 1:%d" % repetitions, "  t0 = cputime();",
                  "  " + w["octave"], "  best = min(best, cputime() - t0);", "end",
                  "times(end + 1) = best;",
                  "fid = fopen('%s/%d_octave.bin', 'w'); fwrite(fid, Y, 'double'); fclose(fid);"
                  % (folder, k), "clear Y;"]
    lines.append("printf('%.9g\\n', times);")
    script = os.path.join(folder, "peers.m")
    with open(script, "w") as f:
        f.write("1;\n" + "\n".join(lines) + "\n")
    out = subprocess.run(["octave", "--no-gui", "--norc", "--quiet", script], check=True,
                         capture_output=True, text=True).stdout
    times = [float(t) for t in out.split()]
    results = {}
    for k, w in enumerate(workloads):
        shape = w["inputs"]()["X"].shape
        y = np.fromfile(os.path.join(folder, "%d_octave.bin" % k)).reshape(shape, order="F")
        results[w["name"]] = y
    return dict(zip([w["name"] for w in workloads], times)), results


def results_folder(build):
    return os.path.join(build, "bench", "results")


def save_results(build, name, results):
    """Keeps a run's times for bench/report.py, which weighs them against the
    goals and draws the chart."""
    folder = results_folder(build)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name + ".json"), "w") as f:
        json.dump(results, f, indent=1)


# --- The run ------------------------------------------------------------------

def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--build", default=os.path.join(ROOT, "build"))
    p.add_argument("--repetitions", type=int, default=7)
    p.add_argument("--numpy-worker", action="store_true", help=argparse.SUPPRESS)
    p.add_argument("names", nargs="*", help=argparse.SUPPRESS)
    args = p.parse_args()
    if args.numpy_worker:
        return numpy_worker(args.names, args.repetitions)

    host = Host(args.build)
    print("Checking every peer's output against ours (bit for bit)...", flush=True)
    with tempfile.TemporaryDirectory() as folder:
        octave_times, octave_results = time_octave(WORKLOADS, args.repetitions, folder)
        for w in WORKLOADS:
            a = w["inputs"]()
            ours = host.call(w["module"], [a[k] for k in w["args"]])
            theirs = np.empty(a["X"].shape, order="F")
            w["numpy"](a, theirs)
            for peer, y in (("numpy", theirs), ("Octave", octave_results[w["name"]])):
                if not same_bits(ours, y):
                    sys.exit("%s: %s's result differs from ours" % (w["name"], peer))
    print("Timing numpy...", flush=True)
    numpy_times = time_numpy(WORKLOADS, args.repetitions)
    ours = {}
    for target in TARGETS:
        print("Timing our modules, target %s..." % target, flush=True)
        result = run_bench(args.build, target, args.repetitions, "W[12]|floor.* 128 MiB")
        if result is None:
            print("  skipped: this machine lacks %s" % target)
            continue
        ours[target] = result

    ms = lambda t: "%.1f" % (t * 1e3)
    print("\nCPU ms, minimum of %d; ratios > 1 mean ours is faster, except 'ours/floor'."
          % args.repetitions)
    print("kernel: our call writing recycled memory, against the copy floor and numpy out=;")
    print("fresh: our call writing a fresh output, against the host's fresh-output floor "
          "and Octave's expression.\n")
    header = ["workload", "target", "kernel", "copy floor", "ours/floor", "numpy out=",
              "numpy/ours", "fresh", "fresh floor", "ours/floor", "Octave", "Octave/ours"]
    size = "%d MiB" % (SIDE * SIDE * 8 // (1 << 20))
    copy = fastest_floor(ours.values(), ("copy", "memcpy"), size)
    floor_fresh = fastest_floor(ours.values(), ("fresh output",), size)
    rows = []
    for w in WORKLOADS:
        name = w["name"]
        for target, t in ours.items():
            kernel, fresh = t[name + " recycled"], t[name + " fresh"]
            rows.append([name, target, ms(kernel), ms(copy), "%.2f" % (kernel / copy),
                         ms(numpy_times[name]), "%.2f" % (numpy_times[name] / kernel),
                         ms(fresh), ms(floor_fresh), "%.2f" % (fresh / floor_fresh),
                         ms(octave_times[name]), "%.2f" % (octave_times[name] / fresh)])
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for r in rows:
        print("| " + " | ".join(r) + " |")
    save_results(args.build, "broadcast", {"ours": ours, "numpy": numpy_times,
                                           "octave": octave_times})


if __name__ == "__main__":
    main()
