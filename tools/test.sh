#!/usr/bin/env bash
# Installs what is missing, builds every module and runs all the tests.
#
#   bash tools/test.sh          every suite, in about a quarter of an hour
#   bash tools/test.sh --long   then the slow tier as well (outputs of 16 GiB,
#                               long fuzzing, large outputs under wine):
#                               before a release
#
# Ends with how the 32-bit suite ran and the time each stage took.
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

stage "install what is missing"
ensure_packages cmake ninja-build g++ libgtest-dev libbenchmark-dev clang-format
# clang and its sanitizer and libFuzzer runtimes; libc++'s headers, with which
# clang-cl compiles the MSVC branch of build_mex.
ensure_packages clang-14 libclang-rt-14-dev libc++-14-dev
# Octave, its MEX compiler and parallel package, and a plotter for the demo.
ensure_packages octave octave-dev octave-parallel
ensure_plotting
# Windows cross builds and wine; the 32-bit x86 and arm64 Linux cross builds
# and qemu.
ensure_packages g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest \
  wine wine64 wine32:i386 g++-i686-linux-gnu g++-aarch64-linux-gnu qemu-user

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
git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror

stage "standalone host and Octave: build and all tests"
run_preset default

stage "AddressSanitizer, UndefinedBehaviorSanitizer and fuzz targets (clang)"
run_preset sanitize

stage "ThreadSanitizer: the threaded suites (clang)"
run_preset tsan

stage "64-bit Windows: cross-built, tests under wine"
run_preset win64

STAGE=stage run_32bit

stage "64-bit Arm Linux (NEON): cross-built, tests under qemu-aarch64"
run_preset arm64
