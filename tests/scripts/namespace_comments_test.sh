#!/usr/bin/env bash
# scripts/namespace-comments.py against the trace clang-format leaves when it
# misreads a file (a function's closing brace marked as a namespace's end),
# and against braces it must not count: in literals, comments and directives.
# Usage: namespace_comments_test.sh CHECKER
set -u
checker=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect FILE STATUS OUTPUT: the checker's exit status and output on FILE.
expect() {
  local output status
  output=$("$checker" "$1")
  status=$?
  if [ "$status" -ne "$2" ] || [ "$output" != "$3" ]; then
    printf 'FAILED: %s: status %s, output:\n%s\nexpected status %s, output:\n%s\n' \
      "$1" "$status" "$output" "$2" "$3"
    failures=$((failures + 1))
  fi
}

cat >"$work/misread.cpp" <<'CPP'
namespace brx::tool {

int Run(bool dry_run) {
  if (dry_run) {
    return 1;
  }
return 0;
}  // namespace brx::tool

}  // namespace brx::tool
CPP
expect "$work/misread.cpp" 1 \
  "$work/misread.cpp:8: a namespace comment on a brace that closes no namespace (clang-format misread the file)"

cat >"$work/sound.cpp" <<'CPP'
#define OPEN {
namespace brx {
inline namespace v1 {
namespace {
const char kHelp[] = R"x(Usage: { "a": [ }
)x";
const char kBrace = '}';
const char* kText = "}  // namespace \" {";
/* { */
int Twice(int n) { return n * 2; }  // {
struct Point {
  int x{0}, y{0};
};
}  // namespace
}  // namespace v1
namespace a::b {}  // namespace a::b
}  // namespace brx
CPP
expect "$work/sound.cpp" 0 ""

[ "$failures" -eq 0 ] && echo "namespace comments: all cases pass"
exit $((failures > 0))
