#!/usr/bin/env python3
"""Draws the program icon: a pair of binoculars, 16 grey levels, transparent background.

Usage: draw_icon.py RESOURCES_FOLDER

Writes RESOURCES_FOLDER/duoptic.png, the 32 x 32 window icon (a 4-bit indexed PNG), and in
RESOURCES_FOLDER/icons/ the sizes that launchers and file managers ask for: duoptic-16.png up to
duoptic-256.png (8-bit grey and alpha) and duoptic.svg.

The artwork is the pixel map below. The other sizes are resampled from it with a box filter, so
that every size shows the same picture: whole multiples of 32 repeat each pixel and stay sharp,
smaller sizes average the pixels they cover. The SVG draws the map's pixels as squares, one path
per grey. Only the standard library is needed.
"""

import os
import struct
import sys
import zlib
from fractions import Fraction

# Palette index of each map character. Index 0 is the transparent background.
INDEX = {".": 0, "K": 1, "1": 2, "2": 3, "3": 4, "4": 5, "5": 6, "6": 7, "7": 8, "W": 9}

# Sixteen greys from black to white; entries past "W" are unused but keep the table at 16.
PALETTE = [(0, 0, 0)] + [(v, v, v) for v in (0x00, 0x20, 0x40, 0x60, 0x80, 0xA0, 0xC0, 0xE0, 0xFF)]
PALETTE += [(v, v, v) for v in (0x10, 0x30, 0x50, 0x70, 0x90, 0xB0)]

# Lit from the upper left: eyepieces, focus wheel and bridge at the top, objective lenses below.
PIXELS = [
    "................................",
    "................................",
    "....KKKKKKKK........KKKKKKKK....",
    "....K234321K........K234321K....",
    "....K234321K..KKKK..K234321K....",
    "....K234321K..K66K..K234321K....",
    "....K234321K..K44K..K234321K....",
    "...KKKKKKKKKK.K66K.KKKKKKKKKK...",
    "..K3567654432KK44KK3567654432K..",
    "..K3567654432KKKKKK3567654432K..",
    "..K3567654432K4554K3567654432K..",
    "..K3567654432K3443K3567654432K..",
    "..K3567654432K4554K3567654432K..",
    "..K3567654432K3443K3567654432K..",
    "..K3567654432K4554K3567654432K..",
    "..K3567654432KKKKKK3567654432K..",
    "..K3567654432K....K3567654432K..",
    "..K35KKKKKK32K....K35KKKKKK32K..",
    "..K3K666665K2K....K3K666665K2K..",
    "..KK66666555KK....KK66666555KK..",
    "..K6611111154K....K6611111154K..",
    ".K6613WW311144K..K6613WW311144K.",
    ".K6613W3111144K..K6613W3111144K.",
    ".K661331111233K..K661331111233K.",
    ".K661111111233K..K661111111233K.",
    ".K651111111233K..K651111111233K.",
    ".K551111112233K..K551111112233K.",
    "..K5511222233K....K5511222233K..",
    "...K44433333K......K44433333K...",
    "....K443333K........K443333K....",
    ".....KKKKKK..........KKKKKK.....",
    "................................",
]


def chunk(kind, data):
    crc = zlib.crc32(kind + data) & 0xFFFFFFFF
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)


def encode_indexed(pixels):
    height, width = len(pixels), len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter type None
        indices = [INDEX[c] for c in row]
        for i in range(0, width, 2):
            raw.append(indices[i] << 4 | indices[i + 1])
    header = struct.pack(">IIBBBBB", width, height, 4, 3, 0, 0, 0)  # 4-bit, indexed
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", header)
        + chunk(b"PLTE", bytes(v for rgb in PALETTE for v in rgb))
        + chunk(b"tRNS", bytes([0]))  # index 0 transparent, all others opaque
        + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        + chunk(b"IEND", b"")
    )


# Sizes of the themed icons besides the 32 x 32 window icon, in pixels.
THEMED_SIZES = (16, 24, 48, 64, 128, 256)


def coverage(out_size, in_size):
    """For each output pixel along one axis, the (source pixel, overlap) pairs it covers."""
    spans = []
    for i in range(out_size):
        start, end = Fraction(i * in_size, out_size), Fraction((i + 1) * in_size, out_size)
        span = []
        for j in range(int(start), min(in_size, -int(-end // 1))):
            overlap = min(end, j + 1) - max(start, j)
            if overlap > 0:
                span.append((j, overlap))
        spans.append(span)
    return spans


def resample(pixels, size):
    """Rows of (grey, alpha) at size x size: the area average of the map, alpha premultiplied."""
    spans = coverage(size, len(pixels))
    rows = []
    for y_span in spans:
        row = []
        for x_span in spans:
            area = weight = grey_sum = Fraction(0)
            for y, wy in y_span:
                for x, wx in x_span:
                    w = wy * wx
                    area += w
                    index = INDEX[pixels[y][x]]
                    if index:
                        weight += w
                        grey_sum += w * PALETTE[index][0]
            alpha = round(255 * weight / area)
            row.append((round(grey_sum / weight) if alpha else 0, alpha))
        rows.append(row)
    return rows


def encode_grey_alpha(rows):
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type None
        for grey, alpha in row:
            raw += bytes((grey, alpha))
    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 4, 0, 0, 0)  # 8-bit grey+alpha
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", header)
        + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        + chunk(b"IEND", b"")
    )


def svg(pixels):
    """The map as an SVG: each run of equal pixels in a row is a rectangle of its grey."""
    paths = {}
    for y, row in enumerate(pixels):
        x = 0
        while x < len(row):
            end = x
            while end < len(row) and row[end] == row[x]:
                end += 1
            index = INDEX[row[x]]
            if index:
                paths.setdefault(index, []).append(f"M{x} {y}h{end - x}v1h-{end - x}z")
            x = end
    lines = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32"'
        ' shape-rendering="crispEdges">',
    ]
    for index in sorted(paths):
        lines.append(f'  <path fill="#{PALETTE[index][0]:02x}{PALETTE[index][1]:02x}'
                     f'{PALETTE[index][2]:02x}" d="{"".join(paths[index])}"/>')
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def write(path, data):
    with open(path, "wb") as out:
        out.write(data)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: draw_icon.py RESOURCES_FOLDER")
    assert len(PIXELS) == 32 and all(len(row) == 32 for row in PIXELS)
    assert len(PALETTE) == 16
    folder = sys.argv[1]
    write(os.path.join(folder, "duoptic.png"), encode_indexed(PIXELS))
    themed = os.path.join(folder, "icons")
    os.makedirs(themed, exist_ok=True)
    for size in THEMED_SIZES:
        write(os.path.join(themed, f"duoptic-{size}.png"), encode_grey_alpha(resample(PIXELS, size)))
    write(os.path.join(themed, "duoptic.svg"), svg(PIXELS).encode("ascii"))


if __name__ == "__main__":
    main()
