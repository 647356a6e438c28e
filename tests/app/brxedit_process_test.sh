#!/usr/bin/env bash
# The real brxedit.exe as its own process under Wine, driven with real keys
# through the X server: it starts with and without a file on its command line
# and ends with exit code 1 after Alt+F4 and after File > Exit. A file that
# does not load would show a message box and the keys would miss the frame.
# Usage: brxedit_process_test.sh WINE_RUN BRXEDIT_EXE   (needs DISPLAY and xdotool)
set -u
wine_run=$1
exe=$2
[ -n "${DISPLAY:-}" ] || { echo "no X display: run under Xvfb (./test.sh starts one)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One structure with one tile: file header ("BRXF", 1 structure twice, 48
# bytes of data, format byte 2), a structure header with one tile, one tile.
sample="$work/one.brx"
{
  printf 'BRXF\001\000\001\000\060\000\002\000\000\000\000\000'
  printf '\001\002\003\001\000\000\000\000\000\000\000\000\000\000\000\000'
  head -c 32 /dev/zero
} >"$sample"

# The pid of the program's own process among the descendants of $1: the
# window is found by the pid Wine gives it, so other programs on the same
# display do not matter.
program_pid() {
  local pid child
  for pid in $(ps -o pid= --ppid "$1"); do
    # Wine runs the program in the process that ran `wine`, renamed after it.
    if head -z -n 1 "/proc/$pid/cmdline" 2>/dev/null | tr -d '\0' | grep -qi 'brxedit\.exe$'; then
      echo "$pid"
      return 0
    fi
    child=$(program_pid "$pid") && { echo "$child"; return 0; }
  done
  return 1
}

failures=0
# run_case NAME KEYS ARGUMENT...: starts the program, presses KEYS in its
# window once it shows, and expects exit code 1.
run_case() {
  local name=$1 keys=$2
  shift 2
  BRX_WINE_TIMEOUT=40 "$wine_run" "$exe" "$@" &
  local runner=$! pid="" window="" tries
  for tries in $(seq 100); do
    pid=$(program_pid "$runner") && window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    echo "FAIL $name: no window appeared"
    failures=$((failures + 1))
    wait "$runner"
    return
  fi
  sleep 0.5
  xdotool windowfocus --sync "$window"
  sleep 0.3
  # shellcheck disable=SC2086
  xdotool key --delay 150 $keys
  wait "$runner"
  local code=$?
  if [ "$code" -eq 1 ]; then
    echo "ok   $name"
  else
    echo "FAIL $name: exit code $code, expected 1"
    failures=$((failures + 1))
  fi
}

run_case "no file, Alt+F4" "alt+F4"
run_case "a file, Alt+F4" "alt+F4" "$(winepath -w "$sample" 2>/dev/null)"
# Wine quotes an argument with a blank, as Explorer quotes a file it opens:
# the program must take the name without the quotes.
mkdir "$work/with space"
cp "$sample" "$work/with space/one.brx"
run_case "a file in quotes, File > Exit" "alt+f x" "$(winepath -w "$work/with space/one.brx" 2>/dev/null)"
exit $((failures > 0))
