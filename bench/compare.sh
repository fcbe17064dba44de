#!/usr/bin/env bash
# Builds the benchmark and compares our modules with their peers on the same
# workloads, printing tables of ratios: the broadcast modules (W1, W2) beside
# numpy and Octave (bench/compare.py), the pairwise ones (W3-W5) beside numpy,
# scipy, scikit-learn and the C histogram library (bench/compare_pairwise.py),
# then whole calls from Octave (bench/octave/end_to_end.sh), all on one
# thread; then every workload on 1 to all the CPUs (bench/scaling.py); then
# the pairwise tables in every shape beside scipy cdist (bench/shape_sweep.py);
# each query's nearest columns beside faiss, scikit-learn and Octave, and
# against our own tables (bench/compare_nearest.py); single and uint8 data
# against double and beside faiss, scipy cdist and Octave pdist2, and the
# memory of a large uint8 search (bench/compare_classes.py); last, every goal against
# what was measured, also saved as build/bench/results/compare.png, and the
# shapes as shapes.png (bench/report.py). Arguments go to the Python steps
# (--repetitions N).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

require_packages cmake ninja-build g++ libgtest-dev libbenchmark-dev python3-numpy octave \
  python3-scipy python3-sklearn python3-matplotlib libvlfeat-dev
cmake --preset default >/dev/null
cmake --build --preset default
# Debian's python, which the numpy package is for.
/usr/bin/python3 bench/compare.py "$@"
/usr/bin/python3 bench/compare_pairwise.py "$@"
# Whole calls from Octave, against the host's own floors and Octave's expressions.
bash bench/octave/end_to_end.sh
# Every workload on 1 to all of the CPUs, and against peers on as many.
/usr/bin/python3 bench/scaling.py "$@"
/usr/bin/python3 bench/shape_sweep.py "$@"
# The nearest columns' peers: the comparison is left out where they cannot
# be installed.
if try_packages python3-faiss octave-statistics; then
  /usr/bin/python3 bench/compare_nearest.py "$@"
else
  echo "== skipped the nearest columns against their peers: $PACKAGES_WHY"
fi
# Single and uint8 against double on the same values, and their peers (each
# peer that cannot be had is skipped with a line).
/usr/bin/python3 bench/compare_classes.py "$@"
/usr/bin/python3 bench/report.py
