#!/usr/bin/env bash
# The main job: installs what is missing, builds every module for Octave with
# build_mex.m and runs examples/exactmex_demo.m, which says where it saved its picture.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

# Octave, its compiler and what draws the picture.
require_packages octave octave-dev g++ $(plotting_packages)

root="$PWD"
mexdir="$root/build/octave/exactmex"
octave-cli --norc --quiet --no-history --eval \
  "addpath('$root'); build_mex('$mexdir'); addpath('$mexdir'); run('$root/examples/exactmex_demo.m')"
