#!/usr/bin/env bash
# A save under Wine, as the user nobody, onto a file nobody may write in a
# folder where nobody may not create files: the message names the folder in
# Windows' terms, and the file is left as it was. Root writes anywhere and
# Wine runs only in a prefix of the user's own, so this makes a prefix for
# nobody in a folder of its own (a build tree may be where nobody cannot go).
# Usage: unwritable_folder_wine.sh SAVE_TOOL_EXE
set -u
tool=$1
setpriv=$(command -v setpriv)
if [ -z "$setpriv" ] || [ "$(id -u)" != 0 ]; then
  echo "SKIPPED: needs root and setpriv to run as nobody"
  exit 77
fi
# shellcheck source=scripts/wine-env.sh
source "$(dirname "$0")/../../scripts/wine-env.sh"

home=$(mktemp -d)
trap 'chmod 755 "$home/data" 2>/dev/null; as_nobody wineserver -k 2>/dev/null; rm -rf "$home"' EXIT
as_nobody() {
  "$setpriv" --reuid=nobody --regid=nogroup --clear-groups \
    env -u DISPLAY HOME="$home" WINEPREFIX="$home/prefix" "$@"
}
cp "$tool" "$home/save_tool.exe"
mkdir "$home/data"
printf old >"$home/data/walls.brx"
chmod 666 "$home/data/walls.brx"
chown -R nobody:nogroup "$home"
chmod 555 "$home/data"
# Wine starts in the folder it is started from, which nobody may not be able
# to enter (a checkout under /root), and says so on the error stream.
cd "$home" || exit 1
as_nobody timeout -k 5 120 wineboot -i >/dev/null 2>&1 ||
  { echo "FAIL: no Wine prefix for nobody"; exit 1; }

target=$(brx_windows_path "$home/data/walls.brx")
reason=$(as_nobody timeout -k 5 60 wine "$home/save_tool.exe" small "$target" 2>&1 </dev/null |
  tr -d '\r')
failures=0
expected="cannot create a temporary file in $(brx_windows_path "$home/data"): Access denied (error 5); a save needs a folder it may create files in"
[ "$reason" = "$expected" ] || { echo "FAIL: the message was: $reason"; failures=$((failures + 1)); }
[ "$(cat "$home/data/walls.brx")" = old ] || { echo "FAIL: walls.brx changed"; failures=$((failures + 1)); }
[ "$(ls -A "$home/data")" = walls.brx ] ||
  { echo "FAIL: left behind: $(ls -A "$home/data")"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] || exit 1
echo "a save under Wine names the folder it may not create its temporary file in"
