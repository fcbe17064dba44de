#!/usr/bin/env bash
# End-to-end timing from Octave: each module against the host's floor (an
# empty module returning an output of the same size) and Octave's own
# expression, run once as Octave starts by default and once with glibc's
# malloc using huge pages (GLIBC_TUNABLES=glibc.malloc.hugetlb=1).
# The times are also kept in build/bench/results for bench/report.py.
# Usage: bash bench/octave/end_to_end.sh [repetitions]
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/packages.sh
ensure_packages octave octave-dev g++

repetitions="${1:-7}"
root="$PWD"
mexdir="$root/build/octave/exactmex"
floordir="$root/build/octave/bench"
results="$root/build/bench/results"
mkdir -p "$floordir" "$results"
octave-cli --norc --quiet --no-history --eval "addpath('$root'); build_mex('$mexdir')" >/dev/null
mkoctfile --mex -O2 -I"$root" -o "$floordir/emptyout.mex" bench/octave/emptyout.cpp
run() {
  octave-cli --norc --quiet --no-history --eval "addpath('$root/bench/octave');
    end_to_end('$mexdir', '$floordir', $repetitions, '$results/$1.csv')"
}

echo "== Octave as started by default"
run end_to_end_default
echo
echo "== Octave started with GLIBC_TUNABLES=glibc.malloc.hugetlb=1"
GLIBC_TUNABLES=glibc.malloc.hugetlb=1 run end_to_end_hugetlb
