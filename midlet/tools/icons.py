#!/usr/bin/env python3
"""Draws the two pictures that every package carries: point.png, a small position marker,
and logo.png, the default book icon. Palette PNGs with stored (uncompressed) deflate blocks,
so the bytes never depend on the zlib version.
Usage: icons.py FOLDER
"""
import os
import struct
import sys
import zlib

TRANSPARENT = None

POINT_PALETTE = [TRANSPARENT, (0x20, 0x20, 0x20), (0xE8, 0x6A, 0x10)]
POINT = [
    ".111.",
    "12221",
    "12221",
    "12221",
    ".111.",
]

# An open book: dark outline and lines of text, white pages, a red cover below.
LOGO_PALETTE = [TRANSPARENT, (0x1F, 0x3A, 0x68), (0xFA, 0xF7, 0xEE), (0xB0, 0x28, 0x2C)]


def logo_rows():
    rows = []
    for y in range(24):
        row = ""
        for x in range(24):
            c = "."
            if 4 <= y <= 21 and 1 <= x <= 22:
                c = "3"
            if 2 <= y <= 19 and 2 <= x <= 21:
                edge = y in (2, 19) or x in (2, 11, 12, 21)
                line = y in (5, 7, 9, 11, 13, 15, 17) and (4 <= x <= 9 or 14 <= x <= 19)
                c = "1" if edge or line else "2"
            row += c
        rows.append(row)
    return rows


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def stored_zlib(raw):
    """A zlib stream of stored blocks (one block holds up to 65535 bytes)."""
    out = b"\x78\x01"
    for start in range(0, max(len(raw), 1), 65535):
        block = raw[start:start + 65535]
        last = start + 65535 >= len(raw)
        out += bytes([1 if last else 0]) + struct.pack("<HH", len(block), len(block) ^ 0xFFFF) + block
    return out + struct.pack(">I", zlib.adler32(raw))


def png(rows, palette):
    """A palette PNG of 2 bits a pixel; '.' is palette entry 0, digits are entries."""
    width, height = len(rows[0]), len(rows)
    raw = b""
    for row in rows:
        indexes = [0 if c == "." else int(c) for c in row] + [0, 0, 0]
        raw += b"\0" + bytes(indexes[i] << 6 | indexes[i + 1] << 4 | indexes[i + 2] << 2
                             | indexes[i + 3] for i in range(0, width, 4))
    colours = b"".join(bytes(c or (0, 0, 0)) for c in palette)
    alpha = bytes(0 if c is TRANSPARENT else 255 for c in palette)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 2, 3, 0, 0, 0))
            + chunk(b"PLTE", colours) + chunk(b"tRNS", alpha)
            + chunk(b"IDAT", stored_zlib(raw)) + chunk(b"IEND", b""))


def main():
    folder = sys.argv[1]
    for name, data in (("point.png", png(POINT, POINT_PALETTE)),
                       ("logo.png", png(logo_rows(), LOGO_PALETTE))):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
