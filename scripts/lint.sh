#!/usr/bin/env bash
# The fast checks that need no build: every shell script passes shellcheck
# and every C++ source is formatted as .clang-format says. Run early by
# ./test.sh; prints what to fix and fails when anything is off.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Tracked files only, so that build trees and scratch files play no part.
mapfile -t shell_scripts < <(git ls-files '*.sh' .ci/run run.sh test.sh | sort -u)
mapfile -t cpp_sources < <(git ls-files '*.cpp' '*.h')

status=0
shellcheck -x "${shell_scripts[@]}" || status=1
clang-format --dry-run -Werror "${cpp_sources[@]}" || status=1
[ "$status" -eq 0 ] && echo "lint: ${#shell_scripts[@]} shell scripts and ${#cpp_sources[@]} C++ sources are clean"
exit "$status"
