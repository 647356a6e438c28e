# shellcheck shell=bash
# Sourced by scripts that drive the program: defines one shell variable for
# each identifier of res/resource.h (IDC_ADD_STRUCT=1001, ID_FILE_OPEN=57601,
# ...), so that they name controls and commands as the code does and follow
# a renumbering.
# Usage: brx_resource_ids SOURCE_FOLDER
brx_resource_ids() {
  local header="$1/res/resource.h" define name value
  [ -f "$header" ] || { echo "no $header" >&2; return 1; }
  while read -r define name value _; do
    [ "$define" = "#define" ] || continue
    [[ $name =~ ^ID[A-Z0-9_]*$ && $value =~ ^[0-9]+$ ]] || continue
    printf -v "$name" '%s' "$value"
  done <"$header"
}
