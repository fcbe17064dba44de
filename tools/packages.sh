# Sourced by the scripts in tools/: installs Debian packages that are missing.
ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  # A package of another architecture (wine32:i386) needs that architecture
  # enabled before the package lists are fetched.
  for p in "${missing[@]}"; do
    case "$p" in
      *:*) dpkg --print-foreign-architectures | grep -qx "${p#*:}" ||
        $sudo dpkg --add-architecture "${p#*:}" ;;
    esac
  done
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What Octave needs to draw the demo's picture and save it without a display:
# gnuplot, a font for the text of the axes and Ghostscript for PNG output.
# Octave only recommends the last two, and not every machine has them.
ensure_plotting() {
  command -v gnuplot >/dev/null || ensure_packages gnuplot-nox
  ensure_packages fonts-freefont-otf ghostscript
}
