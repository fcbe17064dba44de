# Sourced by the scripts that install what they need (tools/test.sh,
# tools/demo.sh, tools/release.sh, bench/compare.sh): Debian packages,
# installed with apt-get where missing.
#
#   require_packages PKG...  what the script cannot do without: it stops
#                            (exit 1) when one cannot be installed
#   try_packages PKG...      what one step needs: returns 1 when one cannot
#                            be installed, with the reason in PACKAGES_WHY
#   plotting_packages        prints what Octave needs to save a picture
#
# Mirrors fail now and then (a list caught mid-sync has the wrong size): a
# failed try is made again after a pause, three tries in all. A list of
# another architecture that keeps failing leaves this one's packages
# installable. A package of another architecture (wine32:i386) enables that
# architecture, and when it cannot be installed the architecture is taken
# off again, so that later updates do not fetch its lists for nothing.

PACKAGES_WHY=""
PACKAGES_PAUSE=${PACKAGES_PAUSE:-10}
packages_sudo=""
[ "$(id -u)" -eq 0 ] || packages_sudo="sudo"
packages_lists_for=""  # the architectures whose lists are fetched and whole

require_packages() {
  try_packages "$@" && return 0
  echo "cannot install what this needs: $PACKAGES_WHY" >&2
  exit 1
}

try_packages() {
  local missing=() p
  for p in "$@"; do
    [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" = "install ok installed" ] || missing+=("$p")
  done
  PACKAGES_WHY=""
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local added=()
  for p in "${missing[@]}"; do
    case "$p" in
      *:*)
        dpkg --print-foreign-architectures | grep -qx "${p#*:}" && continue
        $packages_sudo dpkg --add-architecture "${p#*:}"
        added+=("${p#*:}")
        ;;
    esac
  done
  local try out
  for try in 1 2 3; do
    [ "$try" -eq 1 ] || sleep "$PACKAGES_PAUSE"
    packages_update || continue
    out=$(DEBIAN_FRONTEND=noninteractive $packages_sudo apt-get install -y -qq \
      -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}" 2>&1) && return 0
    PACKAGES_WHY="${missing[*]} cannot be installed ($(packages_error "$out"))"
    # Worth another try only where a list or a download failed.
    [ -z "$packages_lists_for" ] || echo "$out" | grep -q '^E: \(Failed\|Unable\) to fetch' || break
    packages_lists_for=""
  done
  for p in "${added[@]}"; do
    $packages_sudo dpkg --remove-architecture "$p" 2>/dev/null || true
    packages_lists_for=""
  done
  return 1
}

# Fetches the package lists unless they were fetched whole, for the same
# architectures, earlier in this run. Fails only when a list of this
# machine's own architecture fails, with the reason in PACKAGES_WHY.
packages_update() {
  local archs foreign out failed
  foreign=$(dpkg --print-foreign-architectures | paste -sd' ')
  archs="$(dpkg --print-architecture) $foreign"
  [ "$packages_lists_for" = "$archs" ] && return 0
  if out=$($packages_sudo apt-get update -o DPkg::Lock::Timeout=600 2>&1); then
    packages_lists_for=$archs
    return 0
  fi
  failed=$(echo "$out" | grep '^E: Failed to fetch' || true)
  if [ -n "$foreign" ] && [ -n "$failed" ] &&
    [ -z "$(echo "$failed" | grep -v "/binary-\(${foreign// /\|}\)/" || true)" ]; then
    echo "package lists of another architecture failed; this one's are in" \
      "($(packages_error "$out"))"
    return 0
  fi
  PACKAGES_WHY="the package lists cannot be fetched ($(packages_error "$out"))"
  return 1
}

# The first error apt-get gave, on one line.
packages_error() {
  echo "$1" | grep -m1 '^E:' | sed 's/^E: //' | cut -c1-200 || true
}

# What Octave needs to draw a picture and save it without a display:
# gnuplot, a font for the text of the axes and Ghostscript for PNG output.
# Octave only recommends the last two, and not every machine has them.
plotting_packages() {
  command -v gnuplot >/dev/null || echo gnuplot-nox
  echo fonts-freefont-otf ghostscript
}
