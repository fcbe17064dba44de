#!/usr/bin/env bash
# Installs what is missing, builds every module and runs all the tests.
#
#   bash tools/test.sh          every suite, in about a quarter of an hour
#   bash tools/test.sh --long   then the slow tier as well (outputs of 16 GiB,
#                               long fuzzing, large outputs under wine, the
#                               newest Octave in a Debian trixie system):
#                               before a release
#
# What every stage needs is installed first, and the script stops if it
# cannot be. What one stage needs is installed with that stage: where it
# cannot be, the stage is skipped with the reason on one line, and the
# others run. Ends with how the 32-bit suite ran and the time each stage took.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
source tools/presets.sh

case "${1:-}" in
  "") ;;
  --long) LONG=1 ;;
  *) echo "usage: bash tools/test.sh [--long]" >&2; exit 2 ;;
esac

stages=()
stage_start=$SECONDS
stage() {
  [ ${#stages[@]} -eq 0 ] || stages[-1]+=" $((SECONDS - stage_start))"
  stage_start=$SECONDS
  stages+=("$1")
  echo "== $1"
}
# Marks the current stage skipped, for the reason given.
skip_stage() {
  echo "== skipped: $1"
  stages[-1]+=" (skipped: $1)"
}
# Installs what the current stage needs; where that cannot be done, skips it.
needs() {
  try_packages "$@" && return 0
  skip_stage "$PACKAGES_WHY"
  return 1
}
HOW_32BIT=""
restore=""
finish() {
  [ -z "$restore" ] || eval "$restore"
  stages[-1]+=" $((SECONDS - stage_start))"
  [ -z "$HOW_32BIT" ] || echo "== $HOW_32BIT"
  echo "== time per stage (s)"
  local s
  for s in "${stages[@]}"; do printf '%6d  %s\n' "${s##* }" "${s% *}"; done
  printf '%6d  in all\n' "$SECONDS"
}
trap finish EXIT

stage "install what every stage needs"
require_packages cmake ninja-build g++

# The large-output tests write 16 GiB through a 12 MiB block mapped over and
# over: with 2 MiB pages that takes seconds, with 4 KiB pages minutes. Root
# reserves the huge pages they need while the tests run (six each, two at once).
hugepages=/proc/sys/vm/nr_hugepages
if [ "$(id -u)" -eq 0 ] && [ -w "$hugepages" ] && [ "$(cat "$hugepages")" -lt 12 ]; then
  restore="echo $(cat "$hugepages") >$hugepages"
  echo 12 >"$hugepages"
else
  echo "huge pages: $(cat "$hugepages" 2>/dev/null || echo none) reserved, left as they are" \
    "(the large-output tests take minutes instead of seconds without 12 of them)"
fi

stage "format check"
if needs clang-format; then
  git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror
fi

# Octave, its MEX compiler and parallel package, and a plotter for the demo;
# clang-cl and libc++'s headers compile the MSVC branch of build_mex, a test
# left out where they cannot be installed.
stage "standalone host and Octave: build and all tests"
if needs libgtest-dev libbenchmark-dev octave octave-dev octave-parallel $(plotting_packages); then
  try_packages clang-14 libc++-14-dev ||
    echo "the MSVC branch of build_mex is not compiled: $PACKAGES_WHY"
  run_preset default
fi

# clang and its sanitizer and libFuzzer runtimes.
stage "AddressSanitizer, UndefinedBehaviorSanitizer and fuzz targets (clang)"
if needs clang-14 libclang-rt-14-dev libgtest-dev; then
  run_preset sanitize
fi

stage "ThreadSanitizer: the threaded suites (clang)"
if needs clang-14 libclang-rt-14-dev libgtest-dev; then
  run_preset tsan
fi

stage "64-bit Windows: cross-built, tests under wine"
if needs g++-mingw-w64-x86-64-posix googletest wine wine64; then
  run_preset win64
fi

STAGE=stage NEEDS=needs run_32bit

stage "64-bit Arm Linux (NEON): cross-built, tests under qemu-aarch64"
if needs g++-aarch64-linux-gnu qemu-user googletest; then
  run_preset arm64
fi

if [ "$LONG" -eq 1 ]; then
  stage "Octave of Debian trixie (the newest Debian has): build_mex, the Octave suites"
  if needs debootstrap; then
    status=0
    mkdir -p build-trixie
    bash tools/octave_trixie.sh | tee build-trixie/stage.log || status=$?
    case $status in
      0) ;;
      77) skip_stage "$(sed -n 's/^skipped: //p' build-trixie/stage.log | tail -n1)" ;;
      *) exit "$status" ;;
    esac
  fi
fi
