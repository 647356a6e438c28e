# shellcheck shell=bash
# Sourced by the scripts that run Windows programs: Wine's settings, and the
# making of a prefix ready for unattended runs.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# brx_wine_prefix DIR [DPI]: use DIR as WINEPREFIX, making it once (under a
# lock, so parallel tests share one making). With DPI, the prefix's screen
# has that many pixels per inch (96 is 100 %, 192 is 200 %).
brx_wine_prefix() {
  export WINEPREFIX="$1"
  local dpi=${2:-}
  [ -f "$WINEPREFIX/.brx-ready" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    # Each step checks its own outcome: this may run under `set -e`, where an
    # unchecked failure would end the subshell without a word.
    set +e
    flock 9
    [ -f "$WINEPREFIX/.brx-ready" ] && exit 0
    rm -rf "$WINEPREFIX"
    if ! timeout -k 5 120 wineboot -i >/dev/null 2>&1; then
      echo "wineboot failed for $WINEPREFIX" >&2
      exit 1
    fi
    # A crash must end the process with a backtrace, not wait for a click.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Without a window manager, unmanaged windows close in milliseconds, not seconds.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    if [ -n "$dpi" ]; then
      wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    fi
    # The registry is read when the server starts and saved when it stops:
    # stop it so that the settings are on disk and the next start sees them.
    timeout 30 wineserver -w >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1
    sleep 1
    if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" ||
       ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" ||
       { [ -n "$dpi" ] && ! grep -q "\"LogPixels\"=dword:$(printf %08x "$dpi")" "$WINEPREFIX/user.reg"; }; then
      echo "could not write Wine's settings into $WINEPREFIX" >&2
      exit 1
    fi
    touch "$WINEPREFIX/.brx-ready"
  ) 9>"$WINEPREFIX.lock"
}

# brx_windows_path PATH: the name Wine's programs know a Unix path by. The
# prefix's drive Z: is the root folder, so saying it takes no Wine process
# (a process start that could fail on a busy machine, and costs a second).
brx_windows_path() {
  local path
  path=$(realpath -ms -- "$1") || return 1
  printf 'Z:%s\n' "${path//\//\\}"
}

# brx_start_wineserver: a wineserver for the whole run (each program then
# starts in milliseconds), and Wine's services started by a first program
# whose output goes nowhere: they keep open the output of the program that
# started them, and a script reading that program's output would wait for
# its end forever.
brx_start_wineserver() {
  wineserver -p 2>/dev/null
  timeout 60 wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}
