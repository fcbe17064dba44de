"""Weighs the latest comparison against the speed goals: prints one table of
every goal, what was measured and whether it was met, and saves it as a PNG
chart beside the results.

Reads what bench/compare.py, bench/compare_pairwise.py,
bench/octave/end_to_end.sh (our Octave functions), bench/scaling.py and
bench/shape_sweep.py left in <build>/bench/results; bench/compare.sh runs
them all and then this. Our kernels are judged on the instruction-set target
a module picks by itself on this machine (the best it has), the shapes on
every target; the shape sweep is also drawn on a chart of its own.
"""
import argparse
import csv
import json
import os
import sys

import matplotlib

matplotlib.use("Agg")  # no display: the chart goes to a file
import matplotlib.pyplot as plt  # noqa: E402
import matplotlib.ticker  # noqa: E402

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare import ROOT, TARGETS, fastest_floor, results_folder  # noqa: E402

COPY_FLOOR = "128 MiB"

# Workloads writing a 4096 x 4096 output, where the copy floor and numpy out=
# are the yardsticks; then the pairwise ones, each against its peer.
STREAMING = ["W1 lanefuse add d=1", "W1 lanefuse add d=2", "W2 crossfuse sum",
             "W3 meshapply sum", "W3 meshapply absdiff"]
# W4b writes 122 MiB for few terms: its time is set against streaming
# stores filling that much too.
PAIRWISE = [("W4a sampledist L1", "scipy cdist", 5, None),
            ("W4a sampledist Linf", "scipy cdist", 4, None),
            ("W4b sampledist L1", "scipy cdist", 5, "122 MiB"),
            ("W5 bindist intersection", "C histogram library", 4, None),
            ("W5 bindist chi2", "scikit-learn", 3, None),
            ("W5 bindist log", "numpy/scipy xlogy", 1.5, None)]
# Octave's expressions that need temporaries, where ours must win by more.
TEMPORARIES = {"W2 crossfuse sum", "W3 meshapply absdiff"}
# Threads (bench/scaling.py): the compute-bound workloads gain nearly all of
# a second core, the memory-bound ones never lose, small calls stay as they
# are; on every core, ours against single-threaded peers and scikit-learn on
# as many processes.
COMPUTE_BOUND = ("W4a", "W4b", "W5")
THREADED_PEERS = [("W4a sampledist L1", "scipy cdist", 10),
                  ("W4a sampledist L1", "scikit-learn n_jobs", 1),
                  ("W5 bindist chi2", "scikit-learn", 5),
                  ("W5 bindist chi2", "scikit-learn n_jobs", 1)]
# The shape sweep: every tall and wide table at this share of its square's
# rate or more, on every target and on all the CPUs; and ours on one thread
# at least this many times scipy cdist L1 where the columns have 16 rows or
# more.
SHAPE_SHARE = 2 / 3
SHAPE_SCIPY = 4
# The nearest columns (bench/compare_nearest.py): each peer's time over ours,
# and ours over our own table's of the same size, by k.
NEAREST_PEERS = {"faiss (float32)": 10, "scikit-learn": 10,
                 "Octave statistics pdist2 + sort": 30, "our table + Octave sort": 10}
NEAREST_FUSED = {"k=10": 1.15, "k=16": 1.15, "k=100": 1.5, "k=5": 1.15}
# The classes (bench/compare_classes.py): each class workload against the
# same call on doubles of the same values, faiss's L1 search against ours,
# the class's tall and wide tables against its square, and the memory a
# uint8 nearest-columns call needs beyond its inputs and outputs.
CLASS_SPEEDUPS = {("C sampleknn L1 k=10", "uint8"): 4, ("C sampleknn L1 k=10", "single"): 1.7,
                  ("C sampledist L1", "uint8"): 2, ("C sampledist L1", "single"): 1.7}
for w in ("C bindist chi2", "C bindist intersection", "C binknn chi2 k=5",
          "C binknn intersection k=5"):
    CLASS_SPEEDUPS[(w, "single")] = 1.7
for w in ("C lanefuse add d=1", "C lanefuse add d=2", "C crossfuse sum", "C meshapply sum",
          "C meshapply absdiff"):
    CLASS_SPEEDUPS[(w, "single")] = 1.8
CLASS_FAISS = {"uint8": 40, "single": 20}
CLASS_MEMORY_MIB = 64
STARTS = [("end_to_end_default", "Octave, default start"),
          ("end_to_end_hugetlb", "Octave, glibc.malloc.hugetlb=1")]


class Goal:
    """One measured ratio against its goal: `at_most` for ratios of our time
    to a floor, otherwise a speed-up that must reach `bound`."""

    def __init__(self, area, workload, ratio, measured, bound, at_most=False, note=""):
        self.area, self.workload, self.ratio = area, workload, ratio
        self.measured, self.bound, self.at_most = measured, bound, at_most
        self.note = note

    def met(self):
        return self.measured <= self.bound if self.at_most else self.measured >= self.bound

    def goal(self):
        return "%s %g" % ("<=" if self.at_most else ">=", self.bound)

    def margin(self):
        """Above 1 when met, by how much; below 1 when missed."""
        return self.bound / self.measured if self.at_most else self.measured / self.bound


def load(folder, name):
    with open(os.path.join(folder, name + ".json")) as f:
        return json.load(f)


def chosen_target(ours):
    return [t for t in TARGETS if ours.get(t)][-1]


def kernel_goals(broadcast, pairwise):
    target = chosen_target(broadcast["ours"])
    kernels = dict(broadcast["ours"][target])
    kernels.update(pairwise["ours"][target])
    runs = [r for r in list(broadcast["ours"].values()) + list(pairwise["ours"].values()) if r]
    copy = fastest_floor(runs, ("copy", "memcpy"), COPY_FLOOR)
    peers = dict(broadcast["numpy"])
    peers.update(pairwise["peers"])
    goals = []
    for w in STREAMING:
        ours = kernels[w + " recycled"]
        goals.append(Goal("kernel", w, "ours / copy floor", ours / copy, 1.3, at_most=True))
        goals.append(Goal("kernel", w, "numpy out= / ours", peers[w] / ours, 1.5))
    for w, peer, bound, output in PAIRWISE:
        ours = kernels[w + " recycled"]
        note = ""
        if output:
            note = "%.2f of a fill of its output" % (ours / fastest_floor(runs, ("fill",), output))
        goals.append(Goal("kernel", w, peer + " / ours", peers[w] / ours, bound, note=note))
    return target, goals


def end_to_end_goals(folder):
    """Whole calls from Octave: our Octave functions against Octave's own
    expressions and against the same call through the standalone host."""
    goals = []
    for name, start in STARTS:
        path = os.path.join(folder, name + ".csv")
        if not os.path.exists(path):
            continue
        hugetlb = name.endswith("hugetlb")
        with open(path) as f:
            for row in csv.reader(f):
                w = row[0]
                oct_, mex, octave, host = (float(v) for v in row[1:5])
                note = "MEX %.2f times ours" % (mex / oct_)
                if w.split()[0] in ("W1", "W2", "W3"):
                    if hugetlb:
                        bound = 1.5 if w in TEMPORARIES else 1.2
                    else:
                        bound = 5
                        goals.append(Goal(start, w, "ours / host fresh", oct_ / host, 1.3,
                                          at_most=True))
                    goals.append(Goal(start, w, "Octave / ours", octave / oct_, bound, note=note))
                else:
                    goals.append(Goal(start, w, "ours / host fresh", oct_ / host, 1.05,
                                      at_most=True, note=note))
    return goals


def thread_goals(folder):
    if not os.path.exists(os.path.join(folder, "scaling.json")):
        return []
    scaling = load(folder, "scaling")
    ours, cpus = scaling["ours"], scaling["cpus"]
    goals = []
    if "2" in ours:
        floor = ours["1"]["floor threads"] / ours["2"]["floor threads"]
        work = scaling["work"]
        for w, one in ours["1"].items():
            if w == "floor threads":
                continue
            # What the machine gave two threads, and the work they did per
            # CPU second against one thread's.
            note = "threads floor %.2f, work %.2f" % (floor, work["2"][w] / work["1"][w])
            bound = 1.85 if w.split()[0] in COMPUTE_BOUND else 0.95 if w.startswith("S ") else 1
            goals.append(Goal("2 threads", w, "1 thread / 2 threads", one / ours["2"][w], bound,
                              note=note))
    for w, peer, bound in THREADED_PEERS:
        goals.append(Goal("%d threads" % cpus, w, peer + " / ours",
                          scaling["peers"][w][peer] / ours[str(cpus)][w], bound))
    return goals


def unflat(r):
    return {tuple(k): {tuple(s): v for s, v in shapes} for k, shapes in r}


def shape_goals(folder):
    """The worst shape against its square, per target on one thread and on
    all the CPUs; ours against scipy cdist per shape."""
    if not os.path.exists(os.path.join(folder, "shapes.json")):
        return []
    sweep = load(folder, "shapes")
    runs = [(t + ", 1 thread", unflat(r)) for t, r in sweep["one"].items()]
    runs.append(("%s, %d threads" % (sweep["target"], sweep["cpus"]), unflat(sweep["all"])))
    goals = []
    for where, r in runs:
        worst = min(((rate / shapes[next(s for s in shapes if s[0] == s[1])], key, shape)
                     for key, shapes in r.items() for shape, rate in shapes.items()))
        share, (module, case, d), shape = worst
        goals.append(Goal("shapes", where, "worst shape / square", share, SHAPE_SHARE,
                          note="%s %s d=%d %dx%d" % ((module, case, d) + shape)))
    ours = unflat(sweep["one"][sweep["target"]])
    for (d, n1, n2), (peer, _) in sweep["scipy"]:
        if d >= 16:
            goals.append(Goal("shapes", "sampledist L1 d=%d %dx%d" % (d, n1, n2),
                              "ours / scipy cdist", ours[("sampledist", "L1", d)][(n1, n2)] / peer,
                              SHAPE_SCIPY))
    return goals


def nearest_goals(folder):
    if not os.path.exists(os.path.join(folder, "nearest.json")):
        return []
    nearest = load(folder, "nearest")
    cpus = nearest["cpus"]
    goals = []
    for w, peers in nearest["peers"].items():
        ours = nearest["ours"][w + " recycled"]
        for peer, t in peers.items():
            goals.append(Goal("%d threads" % cpus, w, peer + " / ours", t / ours,
                              NEAREST_PEERS[peer]))
    for threads, runs in nearest["fused"].items():
        for name, table in nearest["tables"].items():
            t = runs[name + " recycled"] / runs[table + " recycled"]
            goals.append(Goal("%s thread%s" % (threads, "s" if threads != "1" else ""), name,
                              "nearest / table", t, NEAREST_FUSED[name.split()[-1]], at_most=True))
    return goals


def class_goals(folder):
    if not os.path.exists(os.path.join(folder, "classes.json")):
        return []
    classes = load(folder, "classes")
    goals = []
    for threads, times in classes["ours"].items():
        area = "%s thread%s" % (threads, "s" if threads != "1" else "")

        def t(name, cls):
            return times["%s %s recycled" % (name, cls)]
        for (w, cls), bound in CLASS_SPEEDUPS.items():
            goals.append(Goal(area, "%s %s" % (w, cls), "double / %s" % cls,
                              t(w, "double") / t(w, cls), bound))
        if threads in classes["faiss"]:
            for cls, bound in CLASS_FAISS.items():
                goals.append(Goal(area, "C sampleknn L1 k=10 " + cls, "faiss float32 / ours",
                                  classes["faiss"][threads] / t("C sampleknn L1 k=10", cls), bound))
        # The shapes do the square's work: the rate's share is the time's inverse.
        for cls in ("double", "single", "uint8"):
            shapes = {n: v for n, v in times.items()
                      if n.startswith("C shape sampledist L1") and n.endswith(cls + " recycled")}
            square = min(v for n, v in shapes.items() if " 2000x2000 " in n)
            worst = max(shapes, key=shapes.get)
            goals.append(Goal(area, "sampledist L1 d=128 %s" % cls, "worst shape / square",
                              square / shapes[worst], SHAPE_SHARE,
                              note=worst.split(" ")[-3]))
    m = classes["memory"]
    goals.append(Goal("memory", "sampleknn uint8 128x2M, 10k queries", "MiB beyond inputs + outputs",
                      (m["extra"] - m["outputs"]) / 2**20, CLASS_MEMORY_MIB, at_most=True))
    return goals


def save_shape_chart(folder, path):
    """Terms per second of every shape, on one thread and on all the CPUs,
    scipy cdist beside the L1 tables."""
    sweep = load(folder, "shapes")
    one, every = unflat(sweep["one"][sweep["target"]]), unflat(sweep["all"])
    scipy = {tuple(k): v for k, v in sweep["scipy"]}
    labels, bars = [], {"1 thread": [], "%d threads" % sweep["cpus"]: [], "scipy cdist": []}
    for key, shapes in one.items():
        for shape in shapes:
            labels.append("%s %s d=%d\n%dx%d" % (key + shape))
            bars["1 thread"].append(shapes[shape] / 1e9)
            bars["%d threads" % sweep["cpus"]].append(every[key][shape] / 1e9)
            bars["scipy cdist"].append(scipy.get((key[2],) + shape, [0])[0] / 1e9)
    fig, ax = plt.subplots(figsize=(max(8, 0.55 * len(labels)), 4.5))
    width = 0.28
    for k, (name, values) in enumerate(bars.items()):
        ax.bar([x + (k - 1) * width for x in range(len(labels))], values, width, label=name)
    ax.set_xticks(range(len(labels)))
    ax.set_xticklabels(labels, fontsize=6, rotation=90)
    ax.set_ylabel("G terms (elements) per second")
    ax.set_title("pairwise tables by shape (target %s)" % sweep["target"])
    ax.legend(fontsize=7)
    fig.tight_layout()
    fig.savefig(path, dpi=110)


def print_table(goals):
    print("| where | workload | ratio | goal | measured | met |")
    print("|---|---|---|---|---|---|")
    for g in goals:
        measured = "%.2f" % g.measured
        if g.note:
            measured += " (%s)" % g.note
        print("| %s | %s | %s | %s | %s | %s |" % (
            g.area, g.workload, g.ratio, g.goal(), measured, "yes" if g.met() else "no"))


def save_chart(goals, path):
    """One bar per goal: how far past the goal (right of 1) or short of it."""
    fig, ax = plt.subplots(figsize=(10, 0.28 * len(goals) + 1.2))
    labels = ["%s  %s: %s %.2f (goal %s)" % (g.area, g.workload, g.ratio, g.measured, g.goal())
              for g in goals]
    y = range(len(goals))[::-1]
    # Each bar runs from the goal (1) to the margin, rightwards when met.
    ax.barh(list(y), [g.margin() - 1 for g in goals], left=1,
            color=["tab:green" if g.met() else "tab:red" for g in goals])
    ax.axvline(1.0, color="black", linewidth=1)
    ax.set_xscale("log")
    ticks = [0.25, 0.5, 0.75, 1, 1.5, 2, 3, 4]
    ax.set_xticks(ticks)
    ax.set_xticklabels(["%g" % t for t in ticks])
    ax.xaxis.set_minor_locator(matplotlib.ticker.NullLocator())
    ax.set_yticks(list(y))
    ax.set_yticklabels(labels, fontsize=7)
    ax.set_xlabel("measured against goal (right of 1: met)")
    ax.set_title("exactmex speed goals")
    fig.tight_layout()
    fig.savefig(path, dpi=110)


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--build", default=os.path.join(ROOT, "build"))
    args = p.parse_args()
    folder = results_folder(args.build)
    target, goals = kernel_goals(load(folder, "broadcast"), load(folder, "pairwise"))
    goals += end_to_end_goals(folder)
    goals += thread_goals(folder)
    goals += shape_goals(folder)
    goals += nearest_goals(folder)
    goals += class_goals(folder)
    print("\nGoals: kernels on the standalone host (target %s) and whole calls from Octave,"
          " on one thread; then threads.\n" % target)
    print_table(goals)
    chart = os.path.join(folder, "compare.png")
    save_chart(goals, chart)
    print("\n%d of %d goals met; chart saved to %s" % (sum(g.met() for g in goals), len(goals),
                                                      chart))
    if os.path.exists(os.path.join(folder, "shapes.json")):
        shapes = os.path.join(folder, "shapes.png")
        save_shape_chart(folder, shapes)
        print("shape sweep chart saved to %s" % shapes)


if __name__ == "__main__":
    main()
