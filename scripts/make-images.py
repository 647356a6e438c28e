#!/usr/bin/env python3
"""Writes the program's image resources with nothing but the standard library:

res/toolbar.bmp      the toolbar strip, 48 x 15, 16 colours: New, Open, Save As,
                     drawn pixel by pixel for 100 %
res/toolbar-NNN.bmp  the same images for NNN % (125, 150, 200), drawn from shapes
res/brxedit.ico      the program icon, 32 x 32 and 16 x 16, 32-bit with alpha

The toolbar's background is light grey (C0C0C0): the toolbar control maps that
colour to the button face, so the images blend into any colour scheme.
Run it again after changing a drawing; the output is deterministic.
"""
import struct
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# Letters used in the drawings below -> palette index.
INK = {".": 7, "k": 0, "w": 15, "g": 8, "y": 11, "o": 3, "b": 4, "c": 12}

NEW_PAGE = [
    "................",
    "...kkkkkkk......",
    "...kwwwwwkk.....",
    "...kwwwwwkwk....",
    "...kwwwwwkwwk...",
    "...kwwwwwkkkkk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kkkkkkkkkkk..",
    "................",
]
OPEN_FOLDER = [
    "................",
    "................",
    ".kkkk...........",
    "kyyyyk..........",
    "kyyyyykkkkkkk...",
    "kyyyyyyyyyyyk...",
    "kyyyyyyyyyyyk...",
    "kyyykkkkkkkkkkkk",
    "kyykoooooooooook",
    "kykoooooooooook.",
    "kykooooooooook..",
    "kkoooooooooook..",
    "kkkkkkkkkkkkk...",
    "................",
    "................",
]
SAVE_DISK = [
    "................",
    ".kkkkkkkkkkkkk..",
    ".kbwwwwwwwwwbk..",
    ".kbwcccccccwbk..",
    ".kbwwwwwwwwwbk..",
    ".kbwcccccccwbk..",
    ".kbbbbbbbbbbbk..",
    ".kbbbbbbbbbbbk..",
    ".kbbgggggggbbk..",
    ".kbbgggkkggbbk..",
    ".kbbgggkkggbbk..",
    ".kbbgggkkggbbk..",
    ".kkkkkkkkkkkkk..",
    "................",
    "................",
]


# The larger images are the same drawings as shapes on the 16 x 15 grid of the
# pixel images above. Corners are rounded to whole pixels first (`at`), and
# outlines are `line` pixels wide whatever the scale (`at` takes pixel offsets
# after the grid point), so edges stay crisp: each outline is the shape
# filled black with the same shape, moved in by the outline, filled over it.


def new_page(at, line):
    return [
        ("k", [at(3, 1), at(10, 1), at(14, 5), at(14, 14), at(3, 14)]),
        ("w", [at(3, 1, line, line), at(10, 1, 0, line), at(14, 5, -line, 0),
               at(14, 14, -line, -line), at(3, 14, line, -line)]),
        ("k", [at(9, 1), at(9, 1, line, 0), at(9, 5, line, 0), at(9, 5)]),
        ("k", [at(9, 5), at(14, 5), at(14, 5, 0, line), at(9, 5, 0, line)]),
    ]


def open_folder(at, line):
    return [
        ("k", [at(0, 3), at(1, 2), at(5, 2), at(6, 4), at(13, 4), at(13, 13), at(0, 13)]),
        ("y", [at(0, 3, line, line), at(1, 2, line, line), at(5, 2, 0, line), at(6, 4, 0, line),
               at(13, 4, -line, line), at(13, 13, -line, 0), at(0, 13, line, 0)]),
        ("k", [at(3.5, 7), at(16, 7), at(12.5, 13), at(0.5, 13)]),
        ("o", [at(3.5, 7, line, line), at(16, 7, -2 * line, line), at(12.5, 13, -line, -line),
               at(0.5, 13, 2 * line, -line)]),
    ]


def save_disk(at, line):
    def box(left, top, right, bottom, inset=0):
        return [at(left, top, inset, inset), at(right, top, -inset, inset),
                at(right, bottom, -inset, -inset), at(left, bottom, inset, -inset)]
    return [
        ("k", box(1, 1, 14, 13)),
        ("b", box(1, 1, 14, 13, line)),
        ("w", box(3, 2, 12, 6)),
        ("c", box(4, 3, 11, 4)),
        ("c", box(4, 5, 11, 6)),
        ("g", box(4, 8, 11, 12)),
        ("k", box(7, 9, 9, 12)),
    ]


def inside(x, y, polygon):
    crossings = False
    for (x1, y1), (x2, y2) in zip(polygon, polygon[1:] + polygon[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            crossings = not crossings
    return crossings


def scaled(percent):
    """The three images as rows of letters, 16 x 15 scaled to `percent`, rounded."""
    scale = percent / 100
    width, height = int(16 * scale + 0.5), int(15 * scale + 0.5)
    line = max(1, int(scale + 0.5))

    def at(x, y, dx=0, dy=0):
        return (int(x * width / 16 + 0.5) + dx, int(y * height / 15 + 0.5) + dy)

    images = []
    for drawing in (new_page, open_folder, save_disk):
        rows = [["."] * width for _ in range(height)]
        for ink, polygon in drawing(at, line):
            for y in range(height):
                for x in range(width):
                    if inside(x + 0.5, y + 0.5, polygon):
                        rows[y][x] = ink
        images.append(["".join(row) for row in rows])
    return images


def toolbar_bitmap(images):
    width, height = len(images[0][0]) * len(images), len(images[0])
    for image in images:
        assert len(image) == height and all(len(row) * len(images) == width for row in image)
    rows = []
    for y in reversed(range(height)):  # bottom-up
        indices = [INK[ch] for image in images for ch in image[y]] + [0]
        rows.append(bytes((indices[x] << 4) | indices[x + 1] for x in range(0, width, 2)))
    stride = ((width + 1) // 2 + 3) & ~3
    pixels = b"".join(row.ljust(stride, b"\0") for row in rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + pixels


def icon_pixels(size):
    """A brick wall on a rounded blue tile: the structures the editor edits."""
    unit = size / 32.0
    radius = 5 * unit
    frame = (28, 58, 110)
    brick, brick_light, mortar = (196, 92, 44), (226, 136, 84), (236, 226, 206)
    inner_left, inner_top = round(4 * unit), round(6 * unit)
    inner_right, inner_bottom = size - inner_left, size - round(6 * unit)
    rows = 4
    row_height = (inner_bottom - inner_top) / rows
    brick_width = (inner_right - inner_left) / 2
    pixels = []
    for y in range(size):
        line = []
        for x in range(size):
            # Rounded corners: outside the quarter circles is transparent.
            cx = min(max(x + 0.5, radius), size - radius)
            cy = min(max(y + 0.5, radius), size - radius)
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 > radius ** 2:
                line.append((0, 0, 0, 0))
                continue
            colour = frame
            if inner_left <= x < inner_right and inner_top <= y < inner_bottom:
                row = int((y - inner_top) / row_height)
                row_y = y - inner_top - row * row_height
                shift = brick_width / 2 if row % 2 else 0
                col_x = (x - inner_left + shift) % brick_width
                if row_y < 1 or col_x < 1:
                    colour = mortar
                elif row_y < 1 + unit * 1.5:
                    colour = brick_light
                else:
                    colour = brick
            line.append(colour + (255,))
        pixels.append(line)
    return pixels


def icon_image(size):
    pixels = icon_pixels(size)
    colour = b"".join(
        struct.pack("<BBBB", b, g, r, a) for line in reversed(pixels) for r, g, b, a in line
    )
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for line in reversed(pixels):
        row = bytearray(mask_stride)
        for x, (_, _, _, alpha) in enumerate(line):
            if alpha == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return info + colour + mask


def icon_file(sizes):
    images = [icon_image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def main():
    (ROOT / "res" / "toolbar.bmp").write_bytes(toolbar_bitmap([NEW_PAGE, OPEN_FOLDER, SAVE_DISK]))
    for percent in (125, 150, 200):
        (ROOT / "res" / f"toolbar-{percent}.bmp").write_bytes(toolbar_bitmap(scaled(percent)))
    (ROOT / "res" / "brxedit.ico").write_bytes(icon_file([32, 16]))


if __name__ == "__main__":
    main()
