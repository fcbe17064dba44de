#!/usr/bin/env bash
# Installs what is missing, builds every module and runs all the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

ensure_packages cmake ninja-build g++ libgtest-dev libbenchmark-dev clang-format

echo "== format check"
git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror

echo "== standalone host: build and unit tests"
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default

echo "== standalone host under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize
