#!/usr/bin/env bash
# brxtool's JSON Patches checked against a JSON Patch tool nobody here wrote,
# Debian's python3-jsonpatch, both ways: its `jsonpatch` applies what
# `brxtool diff --patch` writes to `brxtool dump --json BASE`, which must then
# equal `dump --json MOD` (a Flags list taken as a set of labels); and
# `brxtool apply` applies what its `json-patch-jsondiff` writes between the
# two dumps, which must give MOD's bytes.
# Usage: jsonpatch_peer.sh BRXTOOL MAKE_STRUCTURE_FILE WORK_FOLDER
set -euo pipefail
tool=$1
maker=$2
work=$3
python=/usr/bin/python3
for program in /usr/bin/jsonpatch /usr/bin/json-patch-jsondiff "$python"; do
  [ -x "$program" ] || { echo "missing: $program (run scripts/install-deps.sh)" >&2; exit 1; }
done
rm -rf "$work"
mkdir -p "$work"
cd "$work"
run() { timeout 60 "$@"; }

run "$maker" 40 3 base.brx
run "$tool" dump --json base.brx >base.json

# Two mods of the base: one changes fields, flags and shape cells and appends
# structures and tiles; the other changes fields and removes trailing ones.
run "$python" - base.json <<'PY'
import json, random, sys
base = json.load(open(sys.argv[1]))
labels = ["BaseTile", "Open", "Door", "Wall", "Corpse", "Person", "Wire Fence"]
for name, grow in (("grow", True), ("shrink", False)):
    doc = json.loads(json.dumps(base))
    rng = random.Random(name)
    structures = doc["structures"]
    for s in structures[::3]:
        s["Armour"] = rng.randrange(256)
        s["DestructionPartner"] = rng.randrange(-128, 128)
        flags = set(s["Flags"]) ^ set(rng.sample(labels, 2))
        s["Flags"] = sorted(flags)
        for t in s["Tiles"]:
            t["Shape"][rng.randrange(5)][rng.randrange(5)] = rng.randrange(256)
            t["sPosRelToBase"] = rng.randrange(-32768, 32768)
    if grow:
        structures[5]["Tiles"].append(structures[6]["Tiles"][0])
        structures += [structures[1], structures[2]]
    else:
        del structures[35:]
        del structures[7]["Tiles"][1:]
    json.dump(doc, open(name + ".json", "w"), indent=1)
PY

# The same document whatever order a Flags list is in.
same_documents() {
  "$python" - "$1" "$2" <<'PY'
import json, sys
def read(path):
    doc = json.load(open(path))
    for s in doc["structures"]:
        s["Flags"] = sorted(s["Flags"])
    return doc
sys.exit(0 if read(sys.argv[1]) == read(sys.argv[2]) else 1)
PY
}

for mod in grow shrink; do
  run "$tool" build "$mod.json" "$mod.brx"
  run "$tool" dump --json "$mod.brx" >"$mod.dump.json"

  code=0
  run "$tool" diff --patch base.brx "$mod.brx" >"$mod.patch.json" || code=$?
  [ "$code" -eq 1 ] || { echo "diff --patch base.brx $mod.brx: exit code $code" >&2; exit 1; }
  run /usr/bin/jsonpatch base.json "$mod.patch.json" >"$mod.patched.json"
  same_documents "$mod.patched.json" "$mod.dump.json" ||
    { echo "jsonpatch of brxtool's patch for $mod: not $mod's document" >&2; exit 1; }

  # It exits 1 when the documents differ, as diff(1) does.
  code=0
  run /usr/bin/json-patch-jsondiff base.json "$mod.dump.json" >"$mod.jsondiff.json" || code=$?
  [ "$code" -eq 1 ] || { echo "json-patch-jsondiff for $mod: exit code $code" >&2; exit 1; }
  run "$tool" apply --output "$mod.applied.brx" base.brx "$mod.jsondiff.json"
  cmp "$mod.applied.brx" "$mod.brx" ||
    { echo "brxtool apply of json-patch-jsondiff's patch for $mod: not $mod's bytes" >&2; exit 1; }
done
rm -rf "$work"
echo "jsonpatch and brxtool agree both ways"
