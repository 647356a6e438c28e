#!/usr/bin/env python3
"""Writes the small seed corpora of the fuzz targets into fuzz/corpus (or the
folder given): for the reader, a few structure data files in the writer's
form and a few damaged ones; for brxtool's JSON path, a few documents in the
canonical form `brxtool dump --json` prints (one in UTF-16), one in a looser
form that `brxtool build` also takes, and a few that it must refuse; for
the JSON reader alone, texts of any shape, right and wrong; for `brxtool apply`,
a few JSON Patches."""
import json
import os
import struct
import sys

FLAG_LABELS = [
    "BaseTile", "Open", "Openable", "Hidden", "Mobile", "Passable", "Explosive",
    "Transparent", "Generic", "Tree", "Fence", "Wire Fence", "Has item on top",
    "Special", "Light Source", "Vehicle", "Wall", "Wall and Window", "Sliding door",
    "Door", "MultiStructure", "Cave Wall", "D Door left", "D Door Right",
    "Normal Roof", "Slanted roof", "Tall roof", "Switch", "Structure on left wall",
    "Structure on right wall", "Corpse", "Person",
]


# ---- Structure data files ----

def structure_file(tile_counts, magic=b"BRXF", trailing=b""):
    body = b""
    for i, count in enumerate(tile_counts):
        header = bytes([i % 256, 2 * i % 256, 3, count]) + struct.pack("<I", 0x80080001 ^ i)
        header += struct.pack("<H", i) + bytes([4, 0xFF, 0x80, 1, 0x7F, 0xAA])
        body += header
        for j in range(count):
            tile = struct.pack("<hbb", -j, j % 128, -1) + bytes((j + k) % 256 for k in range(25))
            body += tile + bytes([0xF3, j % 256, 0x55])
    structures = len(tile_counts)
    data_size = (16 * structures + 32 * sum(tile_counts)) % 65536
    header = magic + struct.pack("<HHHB", structures, structures, data_size, 2) + bytes(5)
    return header + body + trailing


def reader_seeds():
    return {
        "empty.brx": structure_file([]),
        "one-structure.brx": structure_file([0]),
        "three-structures.brx": structure_file([2, 0, 1]),
        "most-tiles.brx": structure_file([255]),
        "trailing-bytes.brx": structure_file([1], trailing=b"BRXF\x01"),
        "wrong-magic.brx": structure_file([1], magic=b"BRXG"),
        "short-header.brx": b"BRXF\x01\x00",
        "truncated-tile.brx": structure_file([3])[:-5],
        "huge-count.brx": b"BRXF\xff\xff" + bytes(10) + bytes([0, 0, 0, 255]) + bytes(12),
    }


# ---- JSON documents ----

def canonical(value, indent=0):
    """The layout brxtool prints: one key or element per line, two-space
    indentation, except that an array of numbers stays on one line."""
    if not isinstance(value, (list, dict)) or not value:
        return json.dumps(value)
    if isinstance(value, list) and all(isinstance(v, int) for v in value):
        return "[" + ", ".join(str(v) for v in value) + "]"
    inner = " " * (indent + 2)
    if isinstance(value, dict):
        items = [inner + json.dumps(k) + ": " + canonical(v, indent + 2) for k, v in value.items()]
        return "{\n" + ",\n".join(items) + "\n" + " " * indent + "}"
    items = [inner + canonical(v, indent + 2) for v in value]
    return "[\n" + ",\n".join(items) + "\n" + " " * indent + "]"


def tile(seed, flags=0, reserved=0):
    return {
        "sPosRelToBase": -32768 + seed,
        "bXPosRelToBase": -128 + seed,
        "bYPosRelToBase": 127 - seed,
        "Shape": [[(5 * c + r + seed) % 256 for c in range(5)] for r in range(5)],
        "TileFlags": flags,
        "ubVehicleHitLocation": seed,
        "Reserved": reserved,
    }


def structure(number, flags=(), tiles=(), seed=0, reserved=0):
    return {
        "StructureNumber": number,
        "Armour": seed,
        "HitPoints": 255 - seed,
        "Density": seed // 2,
        "Flags": list(flags),
        "WallOrientation": seed % 7,
        "DestructionPartner": -128 + seed,
        "PartnerDelta": 127 - seed,
        "ZTileOffsetX": -1,
        "ZTileOffsetY": 1,
        "Reserved": reserved,
        "Tiles": list(tiles),
    }


def document(*structures):
    return {"structures": list(structures)}


def json_seeds():
    walls = document(
        structure(0, ["BaseTile", "Wire Fence", "Door", "Person"], [tile(0, 0xF3, 7), tile(9, 1)],
                  seed=10, reserved=4),
        structure(1),
        structure(2, FLAG_LABELS, [tile(255, 0xFF, 255)], seed=255, reserved=255),
    )
    # Keys that may be left out, flags out of bit order, a StructureNumber that
    # is not the position, no layout at all and a byte-order mark.
    loose = document(structure(7, ["Person", "BaseTile"], [tile(3)], seed=3))
    for entry in loose["structures"]:
        del entry["Reserved"]
        for t in entry["Tiles"]:
            del t["Reserved"]

    def broken(change):
        doc = document(structure(0, ["Door"], [tile(1)], seed=1))
        change(doc["structures"][0])
        return canonical(doc)

    def set_field(key, value):
        return lambda entry: entry.__setitem__(key, value)

    def set_shape_cell(value):
        return lambda entry: entry["Tiles"][0]["Shape"][2].__setitem__(4, value)

    return {
        "empty.json": canonical(document()) + "\n",
        "one-structure.json": canonical(document(structure(0))) + "\n",
        "walls.json": canonical(walls) + "\n",
        "loose.json": "\ufeff" + json.dumps(loose, separators=(",", ":")),
        "syntax-error.json": canonical(walls)[:200],
        "duplicate-key.json": '{"structures": [], "structures": []}',
        "unknown-flag.json": broken(set_field("Flags", ["Dor"])),
        "flag-twice.json": broken(set_field("Flags", ["Door", "Door"])),
        "out-of-range.json": broken(set_shape_cell(300)),
        "fraction.json": broken(set_field("Armour", 1.5)),
        # Python writes a number too large for a double as Infinity, which is not JSON.
        "huge-number.json": broken(set_field("Density", 1e400)).replace("Infinity", "1e400"),
        "short-shape.json": broken(lambda entry: entry["Tiles"][0]["Shape"].pop()),
        "too-many-tiles.json": broken(set_field("Tiles", [0] * 256)),
        "unknown-key.json": broken(set_field("Colour", 1)),
        "typos.json": broken(lambda entry: entry.update(
            {"Densty": 1, "Flags": ["Dor", "Door"], "Armour": 256})),
        "trailing-comma.json": '{"structures": [{},]}',
        "comment.json": '{"structures": [] // none\n}',
        # What Windows PowerShell 5.1 writes: UTF-16 LE with a byte-order mark.
        "walls-utf16.json": ("\ufeff" + canonical(walls) + "\n").encode("utf-16-le"),
        # A key, a label and a number each longer than any a document has.
        "long-values.json": '{"structures": [{"%s": 1, "Flags": ["%s"], "Armour": %s}]}'
                            % ("K" * 70, "\u00e9" * 45, "9" * 200) + "\n",
    }


# ---- Tables for brxtool import ----

def csv_seeds():
    structures = ["Structure", "Armour", "HitPoints", "Density", "WallOrientation",
                  "DestructionPartner", "PartnerDelta", "ZTileOffsetX", "ZTileOffsetY",
                  "Reserved"] + FLAG_LABELS + ["Tiles"]
    shape = ["Shape[%d][%d]" % (r, c) for r in range(5) for c in range(5)]
    tiles = (["Structure", "Tile", "sPosRelToBase", "bXPosRelToBase", "bYPosRelToBase"] + shape +
             ["TileFlags", "ubVehicleHitLocation", "Reserved"])
    row = ["1", "255", "0", "7", "3", "-128", "127", "-1", "0", "9"] + ["1", "0"] * 16 + ["0"]
    tile_row = ["0", "2", "-32768", "-128", "127"] + [str(k * 10) for k in range(25)] + ["3", "255", "0"]
    bom = "\ufeff"
    return {
        "structures.csv": (bom + ",".join(structures) + "\r\n" + ",".join(row) + "\r\n").encode(),
        "tiles.csv": (bom + ",".join(tiles) + "\r\n" + ",".join(tile_row) + "\r\n").encode(),
        "excel-semicolons.csv": (bom + "sep=;\r\nDoor;Structure;Armour\r\nTRUE;0;\" 12 \"\r\n"
                                 ";;\r\n").encode(),
        "unicode-text.txt": (bom + "Structure\tTile\tShape[4][4]\r\n1\t0\t5\r\n").encode("utf-16-le"),
        "utf16-be.csv": (bom + "Structure,Tile\n0,1\n").encode("utf-16-be"),
        "mistakes.csv": "Structure,Armor,Density,Door\n0,1.5,1E+3,2\n0,,,\n5,2024-01-05,\"1\n".encode(),
    }


# ---- JSON Patches ----

def patch_seeds():
    """Patches for a document of three structures with 2, 0 and 1 tiles: as
    brxtool diff --patch writes them, as json-patch-jsondiff does (list
    elements one by one, a shape row six wide on its way to five), whole
    records, and a few that must be refused."""
    def lines(*ops):
        return "[\n" + ",\n".join("  " + json.dumps(op) for op in ops) + "\n]\n"
    cell = "/structures/0/Tiles/1/Shape/2/3"
    record = {"Armour": 1, "HitPoints": 2, "Density": 3, "Flags": ["Door"],
              "WallOrientation": 4, "DestructionPartner": -1, "PartnerDelta": 0,
              "ZTileOffsetX": 0, "ZTileOffsetY": 0, "Tiles": [tile(5)]}
    return {
        "diff.json": lines(
            {"op": "test", "path": "/structures/0/Armour", "value": 0},
            {"op": "replace", "path": "/structures/0/Armour", "value": 50},
            {"op": "test", "path": "/structures/2/Flags", "value": ["BaseTile", "Wall", "Person"]},
            {"op": "replace", "path": "/structures/2/Flags", "value": ["Door"]},
            {"op": "test", "path": cell, "value": 0},
            {"op": "replace", "path": cell, "value": 9},
            {"op": "add", "path": "/structures/3", "value": record},
            {"op": "test", "path": "/structures/2/Tiles/0", "value": tile(0)},
            {"op": "remove", "path": "/structures/2/Tiles/0"}),
        "jsondiff.json": json.dumps([
            {"op": "add", "path": "/structures/2/Flags/0", "value": "Open"},
            {"op": "remove", "path": "/structures/2/Flags/2"},
            {"op": "move", "from": "/structures/2/Flags/0", "path": "/structures/2/Flags/-"},
            {"op": "add", "path": "/structures/0/Tiles/0/Shape/1/0", "value": 7},
            {"op": "remove", "path": "/structures/0/Tiles/0/Shape/1/5"},
            {"op": "copy", "from": "/structures/0/Tiles/0", "path": "/structures/1/Tiles/-"},
            {"op": "remove", "path": "/structures/2"}]),
        "whole.json": lines(
            {"op": "replace", "path": "/structures/1/Tiles", "value": [tile(1), tile(2)]},
            {"op": "replace", "path": "/structures/0/Tiles/0/Shape",
             "value": [[1, 2, 3, 4, 5]] * 5},
            {"op": "test", "path": "", "value": document()},
            {"op": "replace", "path": "/structures", "value": []}),
        "mistakes.json": lines(
            {"op": "replace", "path": "/structures/0/Armor", "value": 1},
            {"op": "replace", "path": "/structures/0/Armour", "value": 256},
            {"op": "chnage", "path": "/structures/0/Armour"},
            {"op": "remove", "path": "/structures/0/Armour"},
            {"op": "add", "path": "/structures/9", "value": record},
            {"op": "remove", "path": "/structures/0/Tiles/1/Shape/2/0"},
            {"op": "test", "path": "/structures/0/Flags/~2"}),
        "not-json.json": "[{\"op\": \"test\",}]",
        # Numbers in the lines diff writes, which apply reads by a quicker way:
        # at their field's bounds, -0, a cell, a test alone at the end...
        "diff-numbers.json": lines(
            {"op": "test", "path": "/structures/0/Armour", "value": 1},
            {"op": "replace", "path": "/structures/0/Armour", "value": 255},
            {"op": "test", "path": "/structures/0/Tiles/1/Shape/1/2", "value": 7},
            {"op": "replace", "path": "/structures/0/Tiles/1/Shape/1/2", "value": 0},
            {"op": "replace", "path": "/structures/2/DestructionPartner", "value": -128},
            {"op": "test", "path": "/structures/2/Tiles/0/TileFlags", "value": 0},
            {"op": "test", "path": "/structures/2/Tiles/0/TileFlags", "value": 5},
        ).replace('"value": 0},\n  {"op": "replace", "path": "/structures/2/D',
                  '"value": -0},\n  {"op": "replace", "path": "/structures/2/D'),
        # ...and those it leaves to the JSON reader: a number for a label, a
        # leading zero, a fraction.
        "diff-mistakes.json": lines(
            {"op": "test", "path": "/structures/2/Flags/0", "value": 3},
            {"op": "replace", "path": "/structures/2/Tiles/0/TileFlags", "value": 1},
            {"op": "replace", "path": "/structures/9/Armour", "value": 1.5},
        ).replace('"value": 1}', '"value": 01}'),
    }


def write_all(folder, seeds):
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


# ---- JSON texts of any shape, for the JSON reader alone ----

def json_text_seeds():
    return {
        "scalars.json": '[null, true, false, 0, -0, 12, -3.25e+2, 1E-2, 1e400, "", "x"]',
        "escapes.json": '{"\\"\\\\\\/\\b\\f\\n\\r\\t": "\\u00e9\\u20AC\\uD83D\\uDE00"}',
        "nested.json": '{"a": [{"b": {"c": [[], {}, [1, [2, [3]]]]}}], "d": {"e": null}}',
        "unicode.json": '{"\u00e9t\u00e9": "\u20ac \U0001F600", "k": ["\u65e5\u672c"]}',
        "line-ends.json": '{\r\n  "a": 1,\r  "b": [\n\t2\r\n  ]\r}',
        "top-string.json": '"just a string"',
        "repeated-key.json": '{"a": 1, "a": {"b": 2}, "c": 3}',
        "deep.json": "[" * 101 + "]" * 101,
        "comment.json": '{"a": 1 // no\n}',
        "trailing-comma.json": '{"a": [1, 2,], }',
        "unclosed.json": '{"a": "b\n", "c": [1, 2',
        "bad-number.json": '[01, -, 1., 1e, .5]',
        "single-quotes.json": "{'a': 'b'}",
        "utf16.json": b"\xff\xfe" + '{"\u00e9": [1, 2]}'.encode("utf-16-le"),
        "latin1.json": b'{"caf\xe9": 1}',
        "bom.json": b"\xef\xbb\xbf" + b'{"a": true}',
    }


def encoded(seeds):
    return {name: text if isinstance(text, bytes) else text.encode("utf-8")
            for name, text in seeds.items()}


def main(root):
    write_all(os.path.join(root, "reader"), reader_seeds())
    write_all(os.path.join(root, "csv"), csv_seeds())
    write_all(os.path.join(root, "document_json"), encoded(json_seeds()))
    write_all(os.path.join(root, "json"), encoded(json_text_seeds()))
    write_all(os.path.join(root, "patch"), encoded(patch_seeds()))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus"))
