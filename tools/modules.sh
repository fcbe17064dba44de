# Sourced by the scripts that read modules.txt: its one reader in shell.

MODULES_TXT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/modules.txt"

# The names its KIND lines give, in file order: "module" or "mfunction".
listed() {
  awk -v kind="$1" '{ sub(/#.*/, "") } $1 == kind { print $2 }' "$MODULES_TXT"
}

# The sources of its modules and groups, as written (a group as @NAME).
listed_sources() {
  awk '{ sub(/#.*/, "") } $1 == "module" || $1 == "group" { for (i = 3; i <= NF; i++) print $i }' \
    "$MODULES_TXT"
}

# Fails, naming each, where FOLDER lacks a file of a listed module: one per
# PATTERN, in which NAME stands for the module's name.
require_module_files() {
  local folder=$1 module pattern file missing=0
  shift
  for module in $(listed module); do
    for pattern in "$@"; do
      file=${pattern//NAME/$module}
      [ -f "$folder/$file" ] || { echo "$file is missing" >&2; missing=1; }
    done
  done
  return "$missing"
}
