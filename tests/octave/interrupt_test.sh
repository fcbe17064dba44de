#!/usr/bin/env bash
# Ctrl-C during a long call of an Octave function: an interactive Octave
# starts a bindist call of about half a minute on two threads, gets SIGINT
# once the call has written part of its output, and must then answer the
# next command with the call abandoned (no result assigned), its memory
# released (resident size back near where it was) and the function still
# working. The thread count is fixed, so that the call is as long on any
# machine, and the signal waits for the call itself, not for a time. No time
# limit is part of the verdict: a watchdog only ends a hung Octave.
# Usage: interrupt_test.sh OCTAVE_CLI MODULE_DIR
set -euo pipefail
octave=$1
moddir=$2
watchdog=600

coproc OCT { EXACTMEX_THREADS=2 exec "$octave" --norc --quiet --no-history --interactive --no-line-editing 2>&1; }
pid=$OCT_PID
trap 'kill -KILL "$pid" 2>/dev/null || true' EXIT
deadline=$((SECONDS + watchdog))

send() { printf '%s\n' "$1" >&"${OCT[1]}"; }

# Reads Octave's output until a line holds $1; the line is left in $line.
expect() {
  while true; do
    local left=$((deadline - SECONDS))
    if ((left <= 0)) || ! IFS= read -r -t "$left" line <&"${OCT[0]}"; then
      echo "FAIL: no \"$1\" from Octave within the ${watchdog} s watchdog" >&2
      exit 1
    fi
    [[ $line == *"$1"* ]] && return 0
  done
}

resident_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status"; }

# Inputs for an 8000-by-4000 output (256 MiB) of 100-bin log divergences,
# about half a minute of work on two threads; a first small call loads the
# function.
send "addpath('$moddir'); rand('seed', 1); H1 = rand(100, 8000); H2 = rand(100, 4000);"
send "bindist(H1(:, 1), H2(:, 1), 3); printf('ready\n'); fflush(stdout);"
expect ready
before=$(resident_kib)

send "printf('started\n'); fflush(stdout); D = bindist(H1, H2, 3); printf('finished\n');"
expect started
# A 32 MiB part of the output written: the call is an eighth done.
while (($(resident_kib) - before < 32768)); do
  ((SECONDS < deadline)) || { echo "FAIL: the call wrote nothing within the ${watchdog} s watchdog" >&2; exit 1; }
  sleep 0.1
done
kill -INT "$pid"
start=$SECONDS
send "printf('answer %d\n', exist('D')); fflush(stdout);"
expect answer
after=$(resident_kib)
echo "answered $((SECONDS - start)) s after SIGINT; resident memory ${before} KiB before the call, ${after} KiB after"
if [[ $line != *"answer 0"* ]]; then
  echo "FAIL: the call ran to the end instead of stopping ($line)" >&2
  exit 1
fi
# The output's pages written before the interrupt (tens of MiB) stay
# resident if it was not released.
if ((after - before > 4096)); then
  echo "FAIL: resident memory grew by $((after - before)) KiB" >&2
  exit 1
fi

send "printf('again %g\n', bindist([1; 0], [0; 1], 1)); fflush(stdout);"
expect again
[[ $line == *"again 1"* ]] || { echo "FAIL: the next call gave \"$line\"" >&2; exit 1; }
send "exit"
wait "$pid" || true
echo "1 passed, 0 failed"
