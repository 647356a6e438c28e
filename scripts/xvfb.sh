# shellcheck shell=bash
# Sourced: a private X server for Wine, started and stopped by its PID, and
# the wait for a program's window to show on it.

# brx_start_xvfb [DPI]: starts Xvfb on a free display and exports DISPLAY and
# BRX_XVFB_PID. Its screen is 1280 x 1024, or as many times larger as DPI is
# than 96: a screen with as much room as the program has at 100 %.
# shellcheck disable=SC2120 # the DPI is optional
brx_start_xvfb() {
  local n dpi=${1:-96}
  local screen="$((1280 * dpi / 96))x$((1024 * dpi / 96))x24"
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
    BRX_XVFB_PID=$!
    for _ in $(seq 50); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n" BRX_XVFB_PID
        return 0
      fi
      kill -0 "$BRX_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$BRX_XVFB_PID" 2>/dev/null
  done
  echo "could not start Xvfb" >&2
  return 1
}

brx_stop_xvfb() {
  [ -n "${BRX_XVFB_PID:-}" ] && kill "$BRX_XVFB_PID" 2>/dev/null && wait "$BRX_XVFB_PID" 2>/dev/null
  BRX_XVFB_PID=""
}

# brx_wait_for_window TITLE [SECONDS]: waits until a window titled exactly
# TITLE shows on $DISPLAY and prints its X id; of several, the lowest in the
# stacking order, the first to have come (a program's main window rather
# than a box it shows on top). Fails after SECONDS (default 30).
brx_wait_for_window() {
  local title=$1 deadline=$((SECONDS + ${2:-30})) window
  while :; do
    window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1)
    [ -n "$window" ] && { echo "$window"; return 0; }
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}
