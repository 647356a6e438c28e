#!/usr/bin/env bash
# Measures how much of the model, the POSIX file layer and brxtool the native
# tests and the fuzz corpora reach: a gcc --coverage tree in
# build/coverage (or BRX_BUILD_DIR), all its tests, then a branch report with
# gcovr. Branches of thrown exceptions and branches the compiler adds to lines
# without code of ours are left out: neither is a decision in our code.
# Fails when the model or brxtool are below 95 % of their branches.
# The annotated sources are in build/coverage/report/index.html.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRX_BUILD_DIR:-$root/build/coverage}
goal=95

"$root/scripts/install-deps.sh"
# Counts from an earlier run would add up with this one's (and the build's
# test discovery would complain of counts from older code).
find "$build" -name '*.gcda' -delete 2>/dev/null || true
# Unoptimised, so that each branch in the report is one in the source.
# The compilers come from the environment: naming them on the command line of
# an existing tree with other ones makes CMake drop the tree's options.
CC=gcc CXX=g++ cmake -S "$root" -B "$build" -DBRX_COVERAGE=ON -DBRX_BUILD_BENCHMARKS=OFF \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j "$(nproc)"

# Test discovery during the build ran the tests' programs once.
find "$build" -name '*.gcda' -delete
# The platform tests run a second time as an unprivileged user, whose counts
# must land in the same files.
umask 000
find "$build" -type d -exec chmod a+rwx {} +
(cd "$build" && ctest --output-on-failure -j "$(nproc)")

cd "$root"
report=(gcovr --root "$root" --object-directory "$build" --exclude-throw-branches
        --exclude-unreachable-branches --filter 'model/' --filter 'os/file_system_posix\.cpp'
        --filter 'tools/')
mkdir -p "$build/report"
"${report[@]}" --json "$build/report/coverage.json" --html-details "$build/report/index.html" \
  --txt --branches --sort-percentage

# The goal is per area: the file layer is measured but not held to it.
status=0
for area in model tools; do
  echo "== $area/"
  # Not --txt /dev/null: gcovr checks an output file by creating it and then
  # unlinking it, which as root removes the device itself.
  gcovr --root "$root" --add-tracefile "$build/report/coverage.json" --filter "$area/" \
    --print-summary --fail-under-branch "$goal" --txt "$build/report/$area.txt" ||
    { echo "$area/ is below $goal % of its branches"; status=1; }
done
exit $status
