#!/usr/bin/env bash
# Whether this machine runs 32-bit Windows programs under wine, which some
# machines cannot: their kernel executes no 32-bit program at all ("Exec
# format error"), and emulating one through binfmt_misc (qemu-i386) carries
# plain Linux programs but not wine.
#
#   wine32.sh machine        exit 0 when the kernel itself executes 32-bit
#                            x86 programs, which 32-bit wine needs; otherwise
#                            print why not and exit 1. Needs no 32-bit
#                            package: worth asking before installing one.
#   wine32.sh probe          exit 0 when it runs them; otherwise print why not
#                            and exit 1 (the machine cannot) or 2 (it should,
#                            but wine fails: a fault to look into)
#   wine32.sh run CMD...     the probe, then CMD when it passes; exit 77 (a
#                            skipped test, for CTest) when the machine cannot
#
# WINEPREFIX, when set, is the prefix the probe starts (and makes, once).
set -uo pipefail

loader=/usr/lib/wine/wine

# The emulator the kernel hands 32-bit x86 programs to (binfmt_misc), if any.
emulator() {
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$entry" ] && grep -qx enabled "$entry" 2>/dev/null &&
      grep -q '^magic 7f454c4601010100000000000000000002000300' "$entry" &&
      sed -n 's/^interpreter //p' "$entry" && return 0
  done
  return 1
}

machine() {
  local out
  # Wine needs a real 32-bit x86 process; under emulation it stops at
  # "wine: failed to map the shared user data" after minutes of trying.
  if out=$(emulator); then
    echo "32-bit programs run here only through emulation ($out, registered with binfmt_misc), where wine cannot start"
    return 1
  fi
  # The smallest 32-bit x86 program: an ELF header, one segment and the
  # code of exit(42) (xor ebx,ebx; mov bl,42; xor eax,eax; inc eax; int 0x80).
  local dir status
  dir=$(mktemp -d)
  printf '%b' \
    '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00' \
    '\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' \
    '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
    '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
    '\x31\xdb\xb3\x2a\x31\xc0\x40\xcd\x80' >"$dir/exit42"
  chmod +x "$dir/exit42"
  out=$("$dir/exit42" 2>&1)
  status=$?
  rm -rf "$dir"
  [ "$status" -eq 42 ] && return 0
  echo "this machine cannot execute 32-bit programs ($(echo "$out" | head -n1 | sed 's/.*: //'))"
  return 1
}

probe() {
  machine || return 1
  if [ ! -x "$loader" ]; then
    echo "32-bit wine is not installed ($loader)"
    return 1
  fi
  local out
  # The smallest real program: wine's own 32-bit hostname.exe.
  if out=$(WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$loader" hostname 2>&1); then
    return 0
  fi
  echo "32-bit wine fails to run a program: $(echo "$out" | grep -m1 .)"
  return 2
}

case "${1:-}" in
  machine) machine ;;
  probe) probe ;;
  run)
    shift
    reason=$(probe)
    case $? in
      0) exec "$@" ;;
      1) echo "SKIPPED: $reason"; exit 77 ;;
      *) echo "$reason"; exit 1 ;;
    esac
    ;;
  *) echo "usage: $0 machine | probe | run CMD..." >&2; exit 2 ;;
esac
