#!/usr/bin/env bash
# The newest Octave that Debian's archive serves: a Debian trixie system made
# with debootstrap under build-trixie/root (kept for the next run), where the
# modules are built with build_mex.m and the Octave suites, the Octave
# package's "pkg install" among them, run against trixie's own Octave.
#
#   bash tools/octave_trixie.sh
#
# Needs root (debootstrap, chroot). When the archive cannot be reached, or
# the system cannot be made, it prints "skipped: REASON" and exits 77.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
work=$repo/build-trixie
root=$work/root

skip() {
  echo "skipped: $*"
  exit 77
}

[ "$(id -u)" -eq 0 ] || skip "making a Debian system with debootstrap needs root"
command -v debootstrap >/dev/null || skip "debootstrap is not installed"

# The Debian mirror this machine's own package sources name, if any.
mirror=$(
  {
    sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/*.sources 2>/dev/null | tr ' ' '\n'
    sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\).*/\2/p' \
      /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null
  } | grep -m1 '^https\?://.*/debian/\?$' || true
)
mirror=${mirror:-http://deb.debian.org/debian}

if [ ! -f "$root/.made" ]; then
  probe=$(mktemp)
  trap 'rm -f "$probe"' EXIT
  /usr/lib/apt/apt-helper download-file "$mirror/dists/trixie/Release" "$probe" >/dev/null 2>&1 ||
    skip "Debian trixie cannot be had from $mirror"
  # A download cut short by the mirror gets two more tries.
  made=0
  for try in 1 2 3; do
    rm -rf "$root"
    mkdir -p "$work"
    if debootstrap --variant=minbase trixie "$root" "$mirror" >"$work/debootstrap.log" 2>&1; then
      made=1
      break
    fi
    sleep 10
  done
  [ "$made" -eq 1 ] ||
    skip "debootstrap of trixie from $mirror failed: $(grep -m1 '^E:' "$work/debootstrap.log" || tail -n1 "$work/debootstrap.log")"
  # debootstrap leaves no hosts file: the cluster test reaches localhost.
  printf '127.0.0.1 localhost %s\n::1 localhost\n' "$(hostname)" >"$root/etc/hosts"
  touch "$root/.made"
fi

# Runs the script on standard input inside, in a mount namespace of its own,
# so that nothing stays mounted: the system's /proc, /sys and /dev, and the
# repository at its own path (with the git folder of a worktree, which
# package.sh reads). With --net, also in a network of its own with nothing
# but a loopback, where a test's server takes no port of this machine's.
mounts="mount -t proc proc $root/proc && mount --rbind /sys $root/sys && mount --rbind /dev $root/dev"
for dir in "$repo" "$(git rev-parse --path-format=absolute --git-common-dir)"; do
  case "$dir" in "$repo"/*) continue ;; esac
  mkdir -p "$root$dir"
  mounts+=" && mount --bind '$dir' '$root$dir'"
done
inside() {
  local net="" up=""
  [ "${1:-}" != --net ] || { net=--net; up="ip link set lo up && "; }
  unshare --mount --propagation private $net --fork -- sh -c "$up$mounts && exec chroot '$root' \
    env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 bash -euo pipefail -s"
}

status=0
inside <<EOF || status=$?
cd '$repo'
source tools/packages.sh
dpkg --configure -a >/dev/null 2>&1 || true  # an install a killed run left half done
try_packages octave-dev octave-parallel cmake ninja-build g++ libgtest-dev git make \
  \$(plotting_packages) || { echo "skipped: \$PACKAGES_WHY (in trixie)"; exit 77; }
EOF
[ "$status" -eq 0 ] || exit "$status"
inside --net <<EOF
cd '$repo'
echo "== \$(octave-cli --version | head -n1), in Debian trixie"
cmake -S . -B build-trixie/build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-trixie/build --target octave_modules_oct octave_modules_mex
ctest --test-dir build-trixie/build -R '^octave[.]' --output-on-failure -j 2
EOF
