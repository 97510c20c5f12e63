#!/usr/bin/env python3
"""Draws the program icon: a pair of binoculars, 32 x 32, 16 grey levels, transparent background.

Usage: draw_icon.py OUTPUT.png

The artwork is the pixel map below; the script only packs it into a 4-bit indexed PNG, so it
needs nothing beyond the standard library.
"""

import struct
import sys
import zlib

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


def encode(pixels):
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


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: draw_icon.py OUTPUT.png")
    assert len(PIXELS) == 32 and all(len(row) == 32 for row in PIXELS)
    assert len(PALETTE) == 16
    with open(sys.argv[1], "wb") as out:
        out.write(encode(PIXELS))


if __name__ == "__main__":
    main()
