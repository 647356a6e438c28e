#!/usr/bin/env bash
# The fast checks that need no build: every shell script passes shellcheck;
# every C++ source is formatted as .clang-format says, and clang-format read
# it as C++ (no namespace comment on a brace that closes no namespace);
# every script of a page (the atlas's page.js) is JavaScript that parses;
# and every commit subject since the check began is at most 72 characters.
# Run early by ./test.sh; prints what to fix and fails when anything is off.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Tracked files only, so that build trees and scratch files play no part.
mapfile -t shell_scripts < <(git ls-files '*.sh' .ci/run run.sh test.sh | sort -u)
mapfile -t cpp_sources < <(git ls-files '*.cpp' '*.h')
mapfile -t page_scripts < <(git ls-files '*.js')

# Subjects are checked from the commit after this one on: older history has
# longer ones and stays as it is. A copy without that history (an archive, a
# shallow clone) has nothing to check.
subjects_checked_after=d269ee277fec43d3faae6f07cd91c464a41e34bf
max_subject=72

long_subjects() {
  git cat-file -e "$subjects_checked_after^{commit}" 2>/dev/null || return 0
  # Characters, not bytes, whatever the caller's locale.
  local hash subject
  while IFS=' ' read -r hash subject; do
    if [ "${#subject}" -gt "$max_subject" ]; then
      echo "commit $hash: its subject has ${#subject} characters, more than $max_subject: $subject"
    fi
  done < <(git log --format='%h %s' "$subjects_checked_after..HEAD")
}

status=0
shellcheck -x "${shell_scripts[@]}" || status=1
clang-format --dry-run -Werror "${cpp_sources[@]}" || status=1
/usr/bin/python3 scripts/namespace-comments.py "${cpp_sources[@]}" || status=1
for script in "${page_scripts[@]}"; do
  node --check "$script" || status=1
done
long=$(LC_ALL=C.UTF-8 long_subjects)
if [ -n "$long" ]; then
  echo "$long"
  status=1
fi
[ "$status" -eq 0 ] && echo "lint: ${#shell_scripts[@]} shell scripts, ${#cpp_sources[@]} C++ sources and ${#page_scripts[@]} page scripts are clean"
exit "$status"
