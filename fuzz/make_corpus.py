#!/usr/bin/env python3
"""Writes the small seed corpus for the fuzz targets: a few valid structure
data files in the writer's form, and a few damaged ones."""
import os
import struct
import sys


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


def main(folder):
    os.makedirs(folder, exist_ok=True)
    seeds = {
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
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus", "reader"))
