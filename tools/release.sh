#!/usr/bin/env bash
# Builds the release folder dist/exactmex-VERSION/ and its zip:
#   octave/   NAME.oct, Octave functions built by build_mex.m with this
#             machine's GNU Octave (they load in Octave of the same major version)
#   windows/  NAME.mexw64 and NAME.mexw32, cross-built with mingw-w64; MATLAB
#             picks the file of its own word size from the one folder. Each
#             imports only the names MATLAB's libraries export (the test
#             suites check the builds; the packed files are checked again)
# Each folder also holds the help files (help/*.m), so that `help NAME` and
# `help exactmex` work once the folder is on the path. The Windows builds pass
# their test suites under wine before they are packed; on a machine that runs
# no 32-bit program the 32-bit modules are checked without running them and
# their code is tested as a 32-bit Linux build under qemu instead, as
# tools/test.sh does, and the release says so. It is refused unless every
# module of modules.txt is there in all three builds with its help.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/modules.sh
source tools/packages.sh
source tools/presets.sh

# 32-bit wine where it can be had, and the 32-bit Linux build where not:
# run_32bit sees to those.
require_packages cmake ninja-build zip octave octave-dev \
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine wine64

version=$(git describe --tags --always --dirty)
name=exactmex-$version
out=dist/$name
rm -rf "$out" "$out.zip"
mkdir -p "$out/octave" "$out/windows"

echo "== Windows builds"
run_preset win64
run_32bit
echo "== $HOW_32BIT"
cp build-win64/mex/*.mexw64 build-win32/mex/*.mexw32 help/*.m "$out/windows/"
for bits in 64 32; do
  objdump=$(grep -m1 '^CMAKE_OBJDUMP:' "build-win$bits/CMakeCache.txt" | cut -d= -f2)
  cmake -DOBJDUMP="$objdump" -DFORMAT=PE \
    -DMODULES="$(ls "$out"/windows/*.mexw$bits | paste -sd';')" -P tests/check_matlab_imports.cmake
done

echo "== Octave build"
staging=build/release-octave
rm -rf "$staging"
octave-cli --no-init-file --eval "build_mex('$PWD/$staging');"
cp "$staging"/*.oct help/*.m "$out/octave/"

cp README.md NEWS LICENSE "$out/"

# A module of modules.txt missing from any build, or without help, stops
# the release.
require_module_files "$out" octave/NAME.oct octave/NAME.m windows/NAME.mexw64 \
  windows/NAME.mexw32 windows/NAME.m || { echo "release: refused" >&2; exit 1; }

(cd dist && zip -qr "$name.zip" "$name")
echo "release: $out/ and $out.zip ($HOW_32BIT)"
