#!/usr/bin/env bash
# The fast checks that need no build: every shell script passes shellcheck,
# every C++ source is formatted as .clang-format says, and every script of
# a page (the atlas's page.js) is JavaScript that parses. Run early by
# ./test.sh; prints what to fix and fails when anything is off.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Tracked files only, so that build trees and scratch files play no part.
mapfile -t shell_scripts < <(git ls-files '*.sh' .ci/run run.sh test.sh | sort -u)
mapfile -t cpp_sources < <(git ls-files '*.cpp' '*.h')
mapfile -t page_scripts < <(git ls-files '*.js')

status=0
shellcheck -x "${shell_scripts[@]}" || status=1
clang-format --dry-run -Werror "${cpp_sources[@]}" || status=1
for script in "${page_scripts[@]}"; do
  node --check "$script" || status=1
done
[ "$status" -eq 0 ] && echo "lint: ${#shell_scripts[@]} shell scripts, ${#cpp_sources[@]} C++ sources and ${#page_scripts[@]} page scripts are clean"
exit "$status"
