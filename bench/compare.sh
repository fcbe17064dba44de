#!/usr/bin/env bash
# Builds the benchmark and compares our modules with their peers (numpy,
# Octave) on the same workloads, printing a table of ratios. Arguments go to
# bench/compare.py (--repetitions N, --build DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

ensure_packages cmake ninja-build g++ libgtest-dev libbenchmark-dev python3-numpy octave
cmake --preset default >/dev/null
cmake --build --preset default
# Debian's python, which the numpy package is for.
exec /usr/bin/python3 bench/compare.py "$@"
