"""Times the pairwise workloads (W3-W5) on their peers and on our modules in
one run, checks each peer's output against ours first, and prints a table of
ratios (peer time / our time: above 1 means ours is faster).

Peers: numpy writing into an existing array (W3), scipy cdist (W4), the C
histogram-distance library of Debian's libvlfeat-dev (W5 intersection),
scikit-learn's additive chi-square kernel (W5 chi-square) and numpy with
scipy.special.xlogy (W5 log divergence). Peers that reorder or rescale their
sums are checked within a tolerance, the others bit for bit. Times are CPU
time, the minimum over repeats (the machine is shared).

bench/compare.sh runs it after bench/compare.py.
"""
import argparse
import ctypes
import os
import sys

import numpy as np
from scipy.spatial.distance import cdist
from scipy.special import xlogy
from sklearn.metrics.pairwise import additive_chi2_kernel

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare import ROOT, TARGETS, Host, best_time, run_bench, same_bits, save_results  # noqa: E402


def pairwise_inputs(d, n1, n2):
    rng = np.random.default_rng(d)
    return (np.asfortranarray(rng.uniform(0, 1, (d, n1))),
            np.asfortranarray(rng.uniform(0, 1, (d, n2))))


def vlfeat_intersection():
    lib = ctypes.CDLL("libvl.so")
    get = lib.vl_get_vector_comparison_function_d
    get.restype = ctypes.c_void_p
    kernel_l1 = 6  # VlKernelL1, the intersection kernel: sum of min(a, b)
    fn = get(kernel_l1)
    run = lib.vl_eval_vector_comparison_on_all_pairs_d
    run.argtypes = [ctypes.c_void_p, ctypes.c_size_t, ctypes.c_void_p, ctypes.c_size_t,
                    ctypes.c_void_p, ctypes.c_size_t, ctypes.c_void_p]

    def call(H1, H2):
        out = np.empty((H2.shape[1], H1.shape[1]))  # row-major: element (j, i) at i + j * N1
        run(out.ctypes.data, H1.shape[0], H1.ctypes.data, H1.shape[1], H2.ctypes.data,
            H2.shape[1], fn)
        return 1.0 - out.T / H2.sum(axis=0)
    return call


def log_divergence(H1, H2):
    a, b = H1.T[:, None, :], H2.T[None, :, :]
    return (xlogy(a, a) + xlogy(b, b) - 2 * xlogy((a + b) * 0.5, (a + b) * 0.5)).sum(axis=2)


def mesh_inputs():
    rng = np.random.default_rng(1)
    return rng.uniform(-100, 100, (4096, 1)), rng.uniform(-100, 100, (1, 4096))


OUT = np.empty((4096, 4096))
# name, module inputs (arrays and code), peer, whether the peer is exact.
WORKLOADS = [
    ("W3 meshapply sum", lambda: mesh_inputs() + (1,),
     lambda x, y, c: np.add(x, y, out=OUT), True),
    ("W3 meshapply absdiff", lambda: mesh_inputs() + (3,),
     lambda x, y, c: np.abs(np.subtract(x, y, out=OUT), out=OUT), True),
    ("W4a sampledist L1", lambda: pairwise_inputs(128, 2000, 2000) + (1,),
     lambda A, B, c: cdist(A.T, B.T, "cityblock"), False),
    ("W4a sampledist Linf", lambda: pairwise_inputs(128, 2000, 2000) + (2,),
     lambda A, B, c: cdist(A.T, B.T, "chebyshev"), True),
    ("W4b sampledist L1", lambda: pairwise_inputs(3, 4000, 4000) + (1,),
     lambda A, B, c: cdist(A.T, B.T, "cityblock"), False),
    ("W5 bindist intersection", lambda: pairwise_inputs(256, 1000, 1000) + (1,),
     None, False),
    ("W5 bindist chi2", lambda: pairwise_inputs(256, 1000, 1000) + (2,),
     lambda A, B, c: -0.5 * additive_chi2_kernel(A.T, B.T), False),
    ("W5 bindist log", lambda: pairwise_inputs(256, 300, 300) + (3,),
     lambda A, B, c: log_divergence(A, B), False),
]


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--build", default=os.path.join(ROOT, "build"))
    p.add_argument("--repetitions", type=int, default=5)
    args = p.parse_args()
    host = Host(args.build)
    vl = vlfeat_intersection()
    peer_times = {}
    for name, inputs, peer, exact in WORKLOADS:
        x, y, code = inputs()
        peer = peer or (lambda A, B, c: vl(A, B))
        ours = host.call(name.split()[1], [x, y, np.array([[float(code)]])])
        theirs = np.asarray(peer(x, y, code))
        ok = same_bits(ours, theirs) if exact else np.allclose(ours, theirs, rtol=1e-9,
                                                               atol=1e-12)
        if not ok:
            sys.exit("%s: the peer's result differs from ours" % name)
        peer_times[name] = best_time(lambda: peer(x, y, code), args.repetitions)
    print("| workload | peer ms | " + " | ".join("%s ms | ratio" % t for t in TARGETS) + " |")
    print("|" + "---|" * (2 + 2 * len(TARGETS)))
    ours = {t: run_bench(args.build, t, args.repetitions, "W[345]|floor") for t in TARGETS}
    for name, *_ in WORKLOADS:
        cells = []
        for t in TARGETS:
            if ours[t] is None:
                cells += ["-", "-"]
                continue
            k = ours[t][name + " recycled"]
            cells += ["%.1f" % (k * 1e3), "%.2f" % (peer_times[name] / k)]
        print("| %s | %.1f | %s |" % (name, peer_times[name] * 1e3, " | ".join(cells)))
    save_results(args.build, "pairwise", {"ours": ours, "peers": peer_times})


if __name__ == "__main__":
    main()
