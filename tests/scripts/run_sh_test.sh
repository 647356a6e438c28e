#!/usr/bin/env bash
# ./run.sh on a machine without a display: it installs and builds first, and
# only then says how to get a display; the virtual-display command it prints
# then runs as printed and reaches the editor with a display. run.sh runs in
# a copy of the tree whose install, build and Wine steps only write down
# that they ran (and with what display), so nothing is installed or built.
# Usage: run_sh_test.sh RUN_SH
set -u
run_sh=$1
if ! command -v xvfb-run >/dev/null || ! command -v xauth >/dev/null; then
  echo "SKIPPED: xvfb-run or xauth is not installed"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree="$work/tree"
mkdir -p "$tree/scripts" "$work/bin"
cp "$run_sh" "$tree/run.sh"
log="$work/steps"
: >"$log"
# The stubs expand their own variables when they run, hence single quotes.
# shellcheck disable=SC2016
step() {  # step FILE TEXT: a stub that writes TEXT (expanded when it runs) to the log
  printf '#!/usr/bin/env bash\necho "%s" >>"%s"\n' "$2" "$log" >"$1"
  chmod +x "$1"
}
step "$tree/scripts/install-deps.sh" 'install'
step "$tree/scripts/build.sh" 'build $*'
step "$work/bin/winepath" 'winepath $*'
# shellcheck disable=SC2016
printf '#!/usr/bin/env bash\necho "wine on display ${DISPLAY:-none}: $*" >>"%s"\nexit 1\n' "$log" \
  >"$work/bin/wine"
chmod +x "$work/bin/wine"
# shellcheck disable=SC2016
printf 'brx_wine_prefix() { echo "prefix $1" >>"%s"; }\n' "$log" >"$tree/scripts/wine-env.sh"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Without a display: install, build, then advice on stderr and exit code 1.
(cd "$tree" && env -u DISPLAY PATH="$work/bin:$PATH" ./run.sh walls.brx) >"$work/out" 2>"$work/err"
code=$?
[ "$code" -eq 1 ] || fail "exit code $code without a display, wanted 1"
[ "$(cat "$log")" = "$(printf 'install\nbuild win64 brxedit')" ] ||
  fail "steps without a display: $(tr '\n' ';' <"$log")"
grep -q 'DISPLAY' "$work/err" || fail "the advice does not name DISPLAY: $(cat "$work/err")"
advice=$(grep -E '^ +xvfb-run ' "$work/err" | sed -E 's/^ +//')
[ -n "$advice" ] || fail "no xvfb-run command in the advice: $(cat "$work/err")"

# The advice as printed, from the same folder: the editor starts on a display.
: >"$log"
(cd "$tree" && env -u DISPLAY PATH="$work/bin:$PATH" bash -c "$advice") >"$work/out" 2>"$work/err"
if ! grep -q '^install$' "$log" || ! grep -q '^build win64 brxedit$' "$log"; then
  fail "the advice did not install and build: $(tr '\n' ';' <"$log")"
fi
grep -Eq '^wine on display :[0-9]+: .*brxedit\.exe' "$log" ||
  fail "the advice did not start the editor on a display: $(tr '\n' ';' <"$log") $(cat "$work/err")"

[ "$failures" -eq 0 ] || exit 1
echo "run.sh installs and builds before it needs a display, and its advice runs as printed"
