#!/usr/bin/env bash
# tools/release.sh refuses a release folder that lacks a file of any module
# of modules.txt, naming it, whatever else the folder holds.
set -euo pipefail
source "$(dirname "$0")/../tools/modules.sh"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir "$folder/octave" "$folder/windows"
patterns=(octave/NAME.oct windows/NAME.mexw64)
for module in $(listed module) unlisted; do
  touch "$folder/octave/$module.oct" "$folder/windows/$module.mexw64"
done
require_module_files "$folder" "${patterns[@]}"
for module in $(listed module); do
  mv "$folder/windows/$module.mexw64" "$folder/kept"
  if said=$(require_module_files "$folder" "${patterns[@]}" 2>&1); then
    echo "a release without windows/$module.mexw64 was not refused" >&2
    exit 1
  fi
  [ "$said" = "windows/$module.mexw64 is missing" ] || { echo "refused saying: $said" >&2; exit 1; }
  mv "$folder/kept" "$folder/windows/$module.mexw64"
done
