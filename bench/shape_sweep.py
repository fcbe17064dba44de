"""Times the pairwise tables in every shape of the same work (the shape sweep
of bench/workloads.cpp): square, 25 times taller than wide, 25 times wider
than tall, and 400 times taller for 3 rows. Ours on one thread on every
target the machine has, and on all the CPUs on the target a module picks;
scipy cdist (L1, one thread) on the same shapes and on the transposed call,
its result checked against ours first. Prints terms per second and each
shape's rate against its square's.

bench/compare.sh runs it after the other comparisons; bench/report.py weighs
it against the goals and draws it.
"""
import argparse
import os
import re
import sys

import numpy as np
from scipy.spatial.distance import cdist

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare import ROOT, TARGETS, Host, best_time, run_bench, save_results  # noqa: E402
from compare_pairwise import pairwise_inputs  # noqa: E402

NAME = re.compile(r"^shape (\w+) (\w+) d=(\d+) (\d+)x(\d+) recycled$")


def parse(name):
    """(module, case, d, N1, N2) of a sweep benchmark's name."""
    m = NAME.match(name)
    return m.group(1), m.group(2), int(m.group(3)), int(m.group(4)), int(m.group(5))


def rates(times):
    """{(module, case, d): {(N1, N2): terms (elements) per second}}, by
    module and d, each square first, then from the tallest shape to the
    widest."""
    out = {}
    for name in sorted(times, key=lambda n: parse(n)[:3] + (-parse(n)[3] / parse(n)[4],)):
        module, case, d, n1, n2 = parse(name)
        out.setdefault((module, case, d), {})[(n1, n2)] = d * n1 * n2 / times[name]
    for key, shapes in out.items():
        sq = square(shapes)
        out[key] = dict([(sq, shapes[sq])] + [(s, r) for s, r in shapes.items() if s != sq])
    return out


def scipy_rates(host, sweeps, repetitions):
    """scipy cdist L1 on every sampledist shape, as called and transposed:
    {(d, N1, N2): (terms per second, transposed call's)}."""
    out = {}
    for (module, case, d), shapes in sweeps.items():
        if module != "sampledist" or case != "L1":
            continue
        for n1, n2 in shapes:
            A, B = pairwise_inputs(d, n1, n2)
            ours = host.call("sampledist", [A, B, np.array([[1.0]])])
            if not np.allclose(ours, cdist(A.T, B.T, "cityblock"), rtol=1e-9, atol=1e-12):
                sys.exit("scipy cdist differs from ours on d=%d %dx%d" % (d, n1, n2))
            terms = d * n1 * n2
            out[(d, n1, n2)] = tuple(
                terms / best_time(lambda: cdist(X.T, Y.T, "cityblock"), repetitions)
                for X, Y in ((A, B), (B, A)))
    return out


def square(shapes):
    return next(s for s in shapes if s[0] == s[1])


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--build", default=os.path.join(ROOT, "build"))
    p.add_argument("--repetitions", type=int, default=5)
    args = p.parse_args()
    cpus = len(os.sched_getaffinity(0))
    one = {}
    for target in TARGETS:
        print("Timing the shapes on one thread, target %s..." % target, flush=True)
        times = run_bench(args.build, target, args.repetitions, "^shape ")
        if times is not None:
            one[target] = rates(times)
    best = [t for t in TARGETS if t in one][-1]
    print("Timing the shapes on %d threads, target %s..." % (cpus, best), flush=True)
    every = rates(run_bench(args.build, best, args.repetitions, "^shape ", threads=cpus))
    print("Timing scipy cdist...", flush=True)
    scipy = scipy_rates(Host(args.build), one[best], args.repetitions)

    g = lambda r: "%.2f" % (r / 1e9)
    print("\nG terms (elements) per second, best of %d; 'x sq' is a shape's rate over its "
          "square's.\n" % args.repetitions)
    header = ["table", "d", "N1 x N2"] + ["%s 1 thread | x sq" % t for t in one]
    header += ["%s %d threads | x sq" % (best, cpus), "scipy cdist | transposed",
               "ours 1 thread / scipy"]
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * (3 + 2 * len(one) + 5))
    for key, shapes in one[best].items():
        module, case, d = key
        sq = square(shapes)
        for shape in shapes:
            cells = [module + " " + case, str(d), "%d x %d" % shape]
            for t in one:
                r = one[t][key]
                cells += [g(r[shape]), "%.2f" % (r[shape] / r[sq])]
            cells += [g(every[key][shape]), "%.2f" % (every[key][shape] / every[key][sq])]
            peer = scipy.get((d,) + shape)
            cells += [g(peer[0]) + " | " + g(peer[1]), "%.1f" % (shapes[shape] / peer[0])] \
                if peer else ["-", "-"]
            print("| " + " | ".join(cells) + " |")
    flat = lambda r: [[list(k), [[list(s), v] for s, v in shapes.items()]]
                      for k, shapes in r.items()]
    save_results(args.build, "shapes", {
        "one": {t: flat(r) for t, r in one.items()}, "all": flat(every), "cpus": cpus,
        "target": best, "scipy": [[list(k), list(v)] for k, v in scipy.items()]})


if __name__ == "__main__":
    main()
