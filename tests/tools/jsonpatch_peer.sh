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
# Hand-written patches of every kind of operation on every kind of place,
# each applied by jsonpatch to base.json and by brxtool apply to base.brx.
# Where brxtool applies one, the two documents must be equal; where it
# refuses one (exit 2, nothing written), jsonpatch must refuse it too or
# leave a document that `brxtool build` refuses: one no structure file holds.
# Each row has the exit code it must give, so that a row cannot pass by
# both tools refusing what both should take.
run "$python" - "$tool" <<'PY'
import copy, json, subprocess, sys
import jsonpatch
tool = sys.argv[1]
base = json.load(open("base.json"))
S = base["structures"]
labels = sorted({label for s in S for label in s["Flags"]})
absent = next(label for label in labels if label not in S[4]["Flags"])
t = "/structures/2/Tiles/1/Shape"

def op(name, path, value=None, **more):
    operation = {"op": name, "path": path, **more}
    if value is not None:
        operation["value"] = value
    return operation

def move(name, source, path):
    return {"op": name, "from": source, "path": path}

rows = [
    # Flags, label by label
    (0, [op("add", "/structures/4/Flags/0", absent)]),
    (0, [op("add", "/structures/4/Flags/-", S[4]["Flags"][2])]),
    (0, [op("replace", "/structures/4/Flags/1", absent)]),
    (0, [op("test", "/structures/4/Flags/1", S[4]["Flags"][1]), op("remove", "/structures/4/Flags/1")]),
    (0, [move("move", "/structures/2/Flags/3", "/structures/4/Flags/0")]),
    (0, [move("copy", "/structures/2/Flags/0", "/structures/4/Flags/-")]),
    (0, [op("replace", "/structures/4/Flags", [])]),
    (0, [op("add", "/structures/1/Flags/0", "Wall"), op("add", "/structures/4/Flags/0", absent),
         op("replace", "/structures/4/Flags", ["Door"]), op("add", "/structures/1/Flags/-", absent)]),
    (2, [op("add", "/structures/4/Flags/%d" % (len(S[4]["Flags"]) + 1), absent)]),
    (2, [op("replace", "/structures/4/Flags/-", absent)]),
    (2, [op("add", "/structures/4/Flags/0", "Dorr")]),
    # shapes, row by row and cell by cell
    (0, [op("replace", t + "/3", [1, 2, 3, 4, 5])]),
    (0, [op("test", t + "/3", S[2]["Tiles"][1]["Shape"][3]), op("remove", t + "/3"),
         op("add", t + "/-", [0, 0, 0, 0, 0])]),
    (0, [move("move", t + "/1/4", t + "/1/0")]),
    (0, [move("copy", t + "/0", "/structures/3/Tiles/0/Shape/-"),
         op("remove", "/structures/3/Tiles/0/Shape/0")]),
    (0, [op("replace", t, [[k] * 5 for k in range(5)])]),
    (0, [move("copy", t + "/0/0", "/structures/2/Armour")]),
    (0, [op("add", t + "/0/0", 9), op("remove", t + "/0/5"),
         op("add", "/structures/2/Tiles/0/Shape/4/0", 6), op("remove", "/structures/2/Tiles/0/Shape/4/5"),
         op("add", "/structures/3/Tiles/2/Shape/1/0", 8), op("remove", "/structures/3/Tiles/2/Shape/1/5"),
         op("replace", t, [[7] * 5] * 5), op("remove", "/structures/3/Tiles/0")]),
    (0, [op("test", "", base), op("test", "/structures", S), op("replace", "/structures/0/Armour", 1)]),
    (2, [move("move", t + "/1/0", t + "/2/-")]),
    (2, [op("add", t + "/5/0", 1)]),
    (2, [op("replace", t + "/0/5", 1)]),
    (2, [op("replace", t + "/0/0", 256)]),
    (2, [op("replace", "/structures/2/DestructionPartner", -5),
         move("copy", "/structures/2/DestructionPartner", t + "/0/0")]),
    (2, [move("move", "/structures/2/Flags/0", "/structures/2/Armour")]),
    (2, [move("copy", "/structures/0/Tiles/0", t)]),
    # tiles
    (0, [move("copy", "/structures/0/Tiles/0", "/structures/0/Tiles/-")]),
    (0, [op("remove", "/structures/1/Tiles/0")]),
    (0, [move("move", "/structures/2/Tiles/0", "/structures/3/Tiles/-")]),
    (0, [op("replace", "/structures/5/Tiles/2", S[9]["Tiles"][0])]),
    (0, [op("replace", "/structures/5/Tiles", S[6]["Tiles"][:2])]),
    (0, [op("test", "/structures/7/Tiles/2", S[7]["Tiles"][2]), op("remove", "/structures/7/Tiles/2")]),
    (2, [op("remove", "/structures/1/Tiles/3")]),
    (2, [op("replace", "/structures/1/Tiles/0/sPosRelToBase", 300),
         move("copy", "/structures/1/Tiles/0/sPosRelToBase", "/structures/1/Armour")]),
    # structures and fields
    (0, [move("copy", "/structures/0", "/structures/-")]),
    (0, [op("remove", "/structures/5")]),
    (0, [move("move", "/structures/3", "/structures/-")]),
    (0, [op("replace", "/structures/2", S[7])]),
    (0, [op("replace", "/structures", S[:10])]),
    (0, [op("replace", "", {"structures": S[30:]})]),
    (0, [op("test", "/structures/1", S[1]), op("replace", "/structures/1/Armour", 3)]),
    (0, [op("test", "/structures/1/Armour", S[1]["Armour"]), op("add", "/structures/1/Armour", 4)]),
    (0, [move("copy", "/structures/1/Tiles/0/Reserved", "/structures/6/ZTileOffsetY")]),
    (2, [move("move", "/structures/0", "/structures/0/Tiles/-")]),
    (2, [move("copy", "/structures/-", "/structures/1")]),
    (2, [op("add", "/structures/41", S[0])]),
    (2, [op("test", "/structures/0/Armour", S[0]["Armour"]), op("remove", "/structures/0/Armour")]),
    (2, [move("move", "/structures/3/Armour", "/structures/4/Armour")]),
    (2, [{"op": 1, "path": "/structures/0/Armour", "value": 1}]),
    (2, [op("replace", "/structures/0/Armour", "30")]),
]

# A file holds each structure's position as its StructureNumber, whatever
# the document said.
def same(a, b):
    def as_saved(doc):
        doc = copy.deepcopy(doc)
        for position, s in enumerate(doc["structures"]):
            s["Flags"] = sorted(set(s["Flags"]))
            s["StructureNumber"] = position
        return doc
    return as_saved(a) == as_saved(b)

failures = []
for number, (code, operations) in enumerate(rows):
    json.dump(operations, open("row.json", "w"))
    try:
        peer = jsonpatch.apply_patch(base, operations)
    except Exception as refusal:
        peer = refusal
    applied = subprocess.run([tool, "apply", "--output", "row.brx", "base.brx", "row.json"],
                             capture_output=True, text=True, timeout=60)
    said = "row %d %s" % (number, json.dumps(operations)[:160])
    if applied.returncode != code:
        failures.append("%s: exit %d, not %d: %s" % (said, applied.returncode, code, applied.stderr))
    elif code == 0:
        ours = json.loads(subprocess.run([tool, "dump", "--json", "row.brx"], capture_output=True,
                                         check=True, timeout=60).stdout)
        if isinstance(peer, Exception) or not same(ours, peer):
            failures.append("%s: not what jsonpatch gives (%r)" % (said, peer if isinstance(peer, Exception) else "a document"))
    else:
        try:
            subprocess.run([tool, "dump", "--json", "row.brx"], capture_output=True, check=True)
            failures.append("%s: refused, yet written" % said)
        except subprocess.CalledProcessError:
            pass
        if not isinstance(peer, Exception):
            json.dump(peer, open("peer.json", "w"))
            built = subprocess.run([tool, "build", "peer.json", "peer.brx"], capture_output=True,
                                   timeout=60)
            if built.returncode == 0:
                failures.append("%s: refused, yet jsonpatch's document is a structure file" % said)
    for name in ("row.brx", "peer.brx"):
        subprocess.run(["rm", "-f", name])
if failures:
    sys.exit("\n".join(failures))
PY

rm -rf "$work"
echo "jsonpatch and brxtool agree both ways"
