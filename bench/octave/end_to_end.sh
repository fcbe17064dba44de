#!/usr/bin/env bash
# End-to-end timing from Octave: each workload as our Octave function
# (oct-file), our MEX file and Octave's own expression, beside the same call
# through the standalone host writing a fresh output; run once as Octave
# starts by default and once with glibc's malloc using huge pages
# (GLIBC_TUNABLES=glibc.malloc.hugetlb=1). The times are also kept in
# build/bench/results for bench/report.py.
# Usage: bash bench/octave/end_to_end.sh [repetitions]
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/packages.sh
require_packages octave octave-dev g++ cmake ninja-build libgtest-dev libbenchmark-dev

repetitions="${1:-7}"
# One thread, as Octave's own expressions run: bench/scaling.py times threads.
export EXACTMEX_THREADS=1
root="$PWD"
octdir="$root/build/octave/exactmex"
mexdir="$root/build/octave-mex/exactmex"
floordir="$root/build/octave/bench"
results="$root/build/bench/results"
mkdir -p "$floordir" "$results"
cmake --preset default >/dev/null
cmake --build --preset default --target octave_modules_oct octave_modules_mex exactmex_bench >/dev/null
mkoctfile --mex -O2 -I"$root" -o "$floordir/emptyout.mex" bench/octave/emptyout.cpp
run() {
  # The standalone host's fresh-output calls, in the same environment.
  build/bench/exactmex_bench --benchmark_filter='^W[1-5].* fresh$' --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=false --benchmark_format=json >"$results/$1_host.json"
  octave-cli --norc --quiet --no-history --eval "addpath('$root/bench/octave');
    end_to_end('$octdir', '$mexdir', '$floordir', '$results/$1_host.json', $repetitions, '$results/$1.csv')"
}

echo "== Octave as started by default"
run end_to_end_default
echo
echo "== Octave started with GLIBC_TUNABLES=glibc.malloc.hugetlb=1"
GLIBC_TUNABLES=glibc.malloc.hugetlb=1 run end_to_end_hugetlb
