#!/usr/bin/env bash
# Builds the Octave package tarball, exactmex-VERSION.tar.gz, into OUTDIR
# (default dist/). "pkg install" on it compiles the modules of modules.txt
# with build_mex.m and installs them with their help files and NEWS. The
# version and its date are those of help/Contents.m ("% Version 0.1.0
# 08-Dec-2025"), which MATLAB's ver reads.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tools/modules.sh"
outdir="$(mkdir -p "${1:-$root/dist}" && cd "${1:-$root/dist}" && pwd)"
read -r version day < <(sed -n '2s/^% Version \([^ ]*\) \(.*\)$/\1 \2/p' "$root/help/Contents.m")
[ -n "${version:-}" ] || { echo "package: help/Contents.m has no version line" >&2; exit 1; }
name="exactmex-$version"

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
pkgdir="$stage/$name"
mkdir -p "$pkgdir/src/exactmex"
{
  sed -n 1p "$root/package/DESCRIPTION"
  echo "Version: $version"
  echo "Date: $(LC_ALL=C date -d "$day" +%F)"
  sed 1d "$root/package/DESCRIPTION"
} >"$pkgdir/DESCRIPTION"
cp "$root/LICENSE" "$pkgdir/COPYING"
cp "$root/NEWS" "$pkgdir/NEWS"  # what "news exactmex" shows
cp "$root/package/Makefile" "$pkgdir/src/"

# The INDEX lists the modules that modules.txt builds, and the functions
# written in M that build_mex puts beside them.
{
  echo "exactmex >> Fast, exact numeric building blocks"
  echo "Functions"
  { listed module; listed mfunction; } | sed 's/^/ /'
} >"$pkgdir/INDEX"

# Everything build_mex.m reads: itself, the list, the export maps, the help
# files, and the source folders of the listed modules with the gateway.
source_dirs="$(listed_sources | grep -v '^@' | cut -d/ -f1 | sort -u)"
cd "$root"
git ls-files --cached --others --exclude-standard -- build_mex.m modules.txt \
  cmake/mexFunction.map cmake/octfile.map help gateway $source_dirs |
  grep -v 'CMakeLists.txt$' |
  while read -r file; do
    [ -f "$file" ] || continue  # deleted but not yet committed
    mkdir -p "$pkgdir/src/exactmex/$(dirname "$file")"
    cp "$file" "$pkgdir/src/exactmex/$file"
  done

tar -C "$stage" -czf "$outdir/$name.tar.gz" "$name"
echo "$outdir/$name.tar.gz"
