#!/usr/bin/env bash
# brxtool's tables against its JSON on one file of 65,535 structures with 3
# tiles each, measured in the same run: export against "dump --json", import
# of the exported tables against "build" of the dump. Prints the median of
# each command's time over ROUNDS runs, the ratios, and each command's peak
# memory. A benchmark, not a test.
# Usage: bench/csv_bench.sh [BRXTOOL] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${1:-$root/build/native/tools/brxtool/brxtool}
rounds=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The file, byte by byte: every structure with 3 tiles of varied values.
python3 - "$work/big.brx" <<'PY'
import struct, sys
structures, tiles = 65535, 3
out = bytearray(b"BRXF" + struct.pack("<HHHB", structures, structures,
                                      (16 * structures + 32 * structures * tiles) % 65536, 2) + bytes(5))
for i in range(structures):
    out += bytes([i % 256, (i * 7) % 256, 3, tiles]) + struct.pack("<IH", (i * 2654435761) % 2**32, i)
    out += bytes([i % 5, 0x80, 0x7F, 1, 0xFF, 0])
    for j in range(tiles):
        out += struct.pack("<hbb", j - i % 300, -j, j) + bytes((i + j + k) % 256 for k in range(25))
        out += bytes([j, i % 256, 0])
open(sys.argv[1], "wb").write(out)
PY

# measure NAME COMMAND...: appends "seconds peak-KB" of each round to $work/NAME.
measure() {
  local name=$1
  shift
  for _ in $(seq "$rounds"); do
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null
    cat "$work/time" >> "$work/$name"
  done
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

"$tool" dump --json "$work/big.brx" > "$work/big.json"
"$tool" export "$work/big.brx" "$work/s.csv" "$work/t.csv"
measure dump_json "$tool" dump --json "$work/big.brx"
measure build "$tool" build "$work/big.json" "$work/built.brx"
measure export "$tool" export "$work/big.brx" "$work/s.csv" "$work/t.csv"
cp "$work/big.brx" "$work/imported.brx"
measure import "$tool" import "$work/imported.brx" "$work/s.csv" "$work/t.csv"
cmp "$work/big.brx" "$work/imported.brx"

printf 'file %d bytes; JSON %d bytes; tables %d + %d bytes; %d rounds\n' \
  "$(stat -c %s "$work/big.brx")" "$(stat -c %s "$work/big.json")" \
  "$(stat -c %s "$work/s.csv")" "$(stat -c %s "$work/t.csv")" "$rounds"
for name in dump_json build export import; do
  printf '%-10s %6s s  peak %7s KB\n' "$name" "$(cut -d' ' -f1 "$work/$name" | median)" \
    "$(cut -d' ' -f2 "$work/$name" | sort -n | tail -1)"
done
ratio() { awk -v a="$(cut -d' ' -f1 "$work/$1" | median)" -v b="$(cut -d' ' -f1 "$work/$2" | median)" \
  'BEGIN { printf "%.2f", a / b }'; }
echo "export / dump --json: $(ratio export dump_json) (goal <= 1.5)"
echo "import / build:       $(ratio import build) (goal <= 1.5)"
