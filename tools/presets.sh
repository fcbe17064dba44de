# Sourced by tools/test.sh and tools/release.sh, after tools/packages.sh:
# builds and tests CMake presets.

# LONG=1 adds each preset's slow tier (tests labelled "long").
LONG=${LONG:-0}

# Configures and builds preset NAME (the given targets, or all), then runs its
# tests, and with LONG=1 its slow tier as well.
run_preset() {
  local name=$1 dir=build
  shift
  [ "$name" = default ] || dir=build-$name
  cmake --preset "$name" >/dev/null
  cmake --build --preset "$name" ${1:+--target "$@"}
  ctest --preset "$name"
  if [ "$LONG" -eq 1 ]; then
    ctest --test-dir "$dir" -L long --output-on-failure
  fi
}

# The 32-bit builds: the Windows suite under wine where this machine runs
# 32-bit programs and 32-bit wine can be installed. Elsewhere the Windows
# modules are built and their binaries checked without running them, the
# Windows suite is reported skipped, and the same 32-bit SSE2 code is tested
# as a Linux build under qemu. Sets HOW_32BIT to a line saying which
# happened. STAGE, when set, names a function to call with the title of each
# step; NEEDS one that installs a step's packages, or says why it cannot and
# fails (by default the script stops when one cannot be installed).
run_32bit() {
  local why status=0 needs=${NEEDS:-require_packages}
  ${STAGE:-echo} "32-bit wine: whether this machine runs it"
  # Asked before installing 32-bit wine, which needs another architecture's
  # packages: of no use where the kernel runs no 32-bit program.
  if ! why=$(bash tools/wine32.sh machine); then
    status=1
  elif ! try_packages wine wine32:i386; then
    why=$PACKAGES_WHY
    status=1
  else
    mkdir -p build-win32
    why=$(WINEPREFIX="$PWD/build-win32/wine" bash tools/wine32.sh probe) || status=$?
  fi
  case $status in
    0)
      ${STAGE:-echo} "32-bit Windows: cross-built, tests under wine"
      if ! $needs g++-mingw-w64-i686-posix googletest; then
        HOW_32BIT="32-bit: the Windows suite was skipped ($PACKAGES_WHY)"
        return 0
      fi
      run_preset win32
      HOW_32BIT="32-bit: the Windows suite ran under wine"
      ;;
    1)
      HOW_32BIT="32-bit: the Windows suite was skipped ($why)"
      ${STAGE:-echo} "32-bit Windows: modules cross-built and checked, not run"
      if $needs g++-mingw-w64-i686-posix googletest; then
        run_preset win32 mex_modules
        HOW_32BIT+="; the Windows modules were built and their binaries checked"
      fi
      ${STAGE:-echo} "32-bit Linux: cross-built, tests under qemu-i386"
      if $needs g++-i686-linux-gnu qemu-user googletest; then
        run_preset linux32
        HOW_32BIT+="; the 32-bit Linux suite ran under qemu-i386"
      fi
      ;;
    *)
      echo "$why" >&2
      return 1
      ;;
  esac
}
