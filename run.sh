#!/usr/bin/env bash
# Builds the Windows program and starts the editor under Wine.
# Usage: ./run.sh [file.brx]
# Installs what is missing from Debian's packages first. The editor's exit
# code (1 after a normal close) is this script's.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

if [ $# -gt 1 ]; then
  echo "usage: ./run.sh [file.brx]" >&2
  exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: no X display (DISPLAY is not set); use a desktop session, or a virtual display: xvfb-run ./run.sh [file.brx]" >&2
  exit 1
fi

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" win64 brxedit

source "$root/scripts/wine-env.sh"
brx_wine_prefix "$root/build/win64/wineprefix"

args=()
if [ $# -eq 1 ]; then
  # The editor takes a Windows path; Wine maps the Unix file system to Z:.
  args+=("$(winepath -w "$(realpath -m -- "$1")" 2>/dev/null)")
fi
exec wine "$root/build/win64/app/brxedit.exe" "${args[@]}"
