#!/usr/bin/env bash
# Installs what is missing, builds every module and runs all the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

ensure_packages cmake ninja-build g++ libgtest-dev libbenchmark-dev clang-format
# clang and its sanitizer and libFuzzer runtimes, for the fuzz targets.
ensure_packages clang-14 libclang-rt-14-dev
# Octave, its MEX compiler and parallel package, and a plotter for the demo.
ensure_packages octave octave-dev octave-parallel
ensure_plotting

echo "== format check"
git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror

echo "== build (standalone host and Octave) and all tests"
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default

echo "== standalone host under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize

echo "== fuzz targets: seed corpus, then a bounded number of runs each (clang, ASan, UBSan)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

echo "== Windows, 64- and 32-bit: cross-built with mingw-w64, unit tests under wine"
ensure_packages g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest \
  wine wine64 wine32:i386
for preset in win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  # One wine process runs the whole suite; brief output shows its counts and
  # any failure in full.
  GTEST_BRIEF=1 ctest --preset "$preset" --verbose
done
