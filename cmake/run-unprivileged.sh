#!/usr/bin/env bash
# Runs a test program as the user nobody, for the failures only an
# unprivileged user meets. The program is copied into a folder of its own
# that nobody may enter and runs from there, so that neither the program nor
# its working folder depends on where the build tree lives: a checkout under
# /root, or any folder of mode 0700, is closed to nobody.
# Usage: run-unprivileged.sh SETPRIV PROGRAM [ARGUMENTS...]
set -u
setpriv=$1
program=$2
shift 2
folder=$(mktemp -d) || exit 1
trap 'rm -rf "$folder"' EXIT
cp "$program" "$folder/" && chmod 755 "$folder" || exit 1
cd "$folder" || exit 1
"$setpriv" --reuid=nobody --regid=nogroup --clear-groups "./$(basename "$program")" "$@"
