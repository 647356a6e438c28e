#!/usr/bin/env bash
# The main frame at 96, 120, 144 and 192 DPI (100, 125, 150 and 200 %), each
# run in a Wine prefix of its own, made fresh for that DPI: high_dpi_tests
# checks the sizes of that scale, and the panes against the list of cut
# controls that the run at 96 DPI writes. Each runs on an Xvfb of its own
# whose screen has the room of a 1280 x 1024 screen at 100 %: a 200 % laptop
# has as many pixels again, not a window of a quarter of the size.
# Usage: high_dpi_test.sh WINE_RUN HIGH_DPI_TESTS_EXE
set -u
wine_run=$1
exe=$2
# shellcheck source=scripts/wine-env.sh
source "$(dirname "$0")/../../scripts/wine-env.sh"
# shellcheck source=scripts/xvfb.sh
source "$(dirname "$0")/../../scripts/xvfb.sh"

work=$(mktemp -d)
trap 'brx_stop_xvfb; rm -rf "$work"' EXIT
cut_list=$(brx_windows_path "$work/cut-at-96.txt")

failures=0
for dpi in 96 120 144 192; do
  echo "== $dpi DPI"
  brx_start_xvfb "$dpi" || exit 1
  if ! BRX_WINE_DPI=$dpi BRX_EXPECTED_DPI=$dpi BRX_CUT_CONTROLS=$cut_list \
       BRX_WINE_TIMEOUT=120 "$wine_run" "$exe"; then
    echo "FAIL at $dpi DPI"
    failures=$((failures + 1))
  fi
  # The prefix's server and its display end together.
  WINEPREFIX="$(dirname "$wine_run")/wineprefix-dpi$dpi" wineserver -k 2>/dev/null
  brx_stop_xvfb
  [ "$dpi" = 96 ] && { echo "cut at 96 DPI already:"; sed 's/^/  /' "$work/cut-at-96.txt"; }
done
[ "$failures" -eq 0 ] || exit 1
echo "toolbar, menu images, bars and panes hold at 96, 120, 144 and 192 DPI"
