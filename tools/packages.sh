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
