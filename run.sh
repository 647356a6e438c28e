#!/usr/bin/env bash
# Builds the Windows program and starts the editor under Wine.
# Usage: ./run.sh [file.brx]
# Installs what is missing from Debian's packages and builds first, also on a
# machine without a display, so that the advice it then gives can be
# followed as printed. The editor's exit code (1 after a normal close) is
# this script's.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

if [ $# -gt 1 ]; then
  echo "usage: ./run.sh [file.brx]" >&2
  exit 2
fi

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" win64 brxedit

if [ -z "${DISPLAY:-}" ]; then
  again=$(printf '%q ' "$0" "$@")
  cat >&2 <<EOF
run.sh: the editor is built, but there is no X display to show it on (DISPLAY is not set).
Run the same command again from a desktop session, or through "ssh -X" from one:
    ${again% }
Or run it on a virtual display that nobody sees (for scripts; Ctrl+C stops it):
    xvfb-run -a ${again% }
EOF
  exit 1
fi

source "$root/scripts/wine-env.sh"
brx_wine_prefix "$root/build/win64/wineprefix"

args=()
if [ $# -eq 1 ]; then
  # The editor takes a Windows path; Wine maps the Unix file system to Z:.
  args+=("$(winepath -w "$(realpath -m -- "$1")" 2>/dev/null)")
fi
exec wine "$root/build/win64/app/brxedit.exe" "${args[@]}"
