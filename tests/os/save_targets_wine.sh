#!/usr/bin/env bash
# What a save under Wine does with Unix files that Windows has no name for:
# a symbolic link is written through and kept (Wine opens what it names), a
# file without write permission shows as read-only and is refused, a named
# pipe is refused. A dangling link Wine shows to no Windows program, so a
# save puts the file in the link's place.
# Usage: save_targets_wine.sh WINE_RUN SAVE_TOOL_EXE
set -euo pipefail
wine_run=$1 tool=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }
# The reason comes with a Windows line end.
save() { "$wine_run" "$tool" small "Z:${1//\//\\}" 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }

save "$work/expected.brx" >/dev/null
printf old >"$work/real.brx"
ln -s real.brx "$work/link.brx"
ln -s "$work/link.brx" "$work/chain.brx"
for name in link chain; do
  printf old >"$work/real.brx"
  save "$work/$name.brx" >/dev/null || fail "saving through $name.brx failed"
  cmp -s "$work/real.brx" "$work/expected.brx" || fail "$name.brx: real.brx does not hold the save"
done
[ "$(readlink "$work/link.brx")" = real.brx ] || fail "link.brx is no longer the link"
[ "$(readlink "$work/chain.brx")" = "$work/link.brx" ] || fail "chain.brx is no longer the link"

ln -s made.brx "$work/dangling.brx"
save "$work/dangling.brx" >/dev/null || fail "saving through a dangling link failed"
{ [ -f "$work/dangling.brx" ] && [ ! -L "$work/dangling.brx" ]; } || fail "dangling.brx: expected a file in its place"
[ ! -e "$work/made.brx" ] || fail "made.brx was created"

printf old >"$work/read-only.brx"
chmod 444 "$work/read-only.brx"
mkfifo "$work/pipe.brx"
for refused in "read-only.brx:the file is read-only" \
               "pipe.brx:it is a device or a pipe, not a regular file"; do
  name=${refused%%:*}
  set +e
  reason=$(save "$work/$name")
  code=$?
  set -e
  [ "$code" -eq 1 ] || fail "$name: expected a refusal, exit code $code"
  [ "$reason" = "cannot write the file: ${refused#*:}" ] || fail "$name: unexpected reason: $reason"
done
[ "$(cat "$work/read-only.brx")" = old ] || fail "read-only.brx was changed"
[ -p "$work/pipe.brx" ] || fail "pipe.brx is no longer a named pipe"

leftovers=$(find "$work" -mindepth 1 -maxdepth 1 -printf '%f\n' | grep -v -x -e expected.brx -e real.brx -e link.brx -e chain.brx \
  -e dangling.brx -e read-only.brx -e pipe.brx || true)
[ -z "$leftovers" ] || fail "left behind: $leftovers"
echo "save targets under Wine: links written through and kept, read-only file and pipe refused"
