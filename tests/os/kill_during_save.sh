#!/usr/bin/env bash
# Kills a process at random moments while it saves two documents over one
# file, in turn: after every kill the file must hold exactly one of them.
# Usage: kill_during_save.sh SAVE_TOOL [KILLS]
set -euo pipefail
tool=$1 kills=${2:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
target="$work/target.brx"
"$tool" small "$work/small.brx"
"$tool" large "$work/large.brx"
cp "$work/small.brx" "$target"
RANDOM=20261207
mid_write=0
for ((n = 1; n <= kills; n++)); do
  "$tool" loop "$target" &
  pid=$!
  sleep "0.$(printf '%03d' $((RANDOM % 200)))"
  kill -9 "$pid"
  wait "$pid" 2>/dev/null || true
  if ! cmp -s "$target" "$work/small.brx" && ! cmp -s "$target" "$work/large.brx"; then
    echo "kill $n: the file holds neither the old nor the new content" >&2
    exit 1
  fi
  # A kill in the middle of writing leaves the temporary file behind: proof
  # that the kill hit a save in progress. The target is what matters.
  if compgen -G "$target.*.tmp" >/dev/null; then
    mid_write=$((mid_write + 1))
    rm -f "$target".*.tmp
  fi
done
echo "$kills kills during saving ($mid_write in the middle of writing): the file always held a whole document"
