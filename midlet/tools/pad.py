#!/usr/bin/env python3
"""Pads an embedded midlet file to its exact size, or fails when it is already larger.

A class file gets one more class attribute of our own name, which every Java VM ignores;
a PNG gets a private ancillary chunk before IEND, which every decoder skips.
Usage: pad.py FILE SIZE
"""
import struct
import sys
import zlib

PAD_ATTRIBUTE = b"Velkaro"
PAD_CHUNK = b"vpAd"

# Constant pool entry sizes after the tag byte, by tag (Utf8 is handled apart).
CONSTANT_SIZES = {3: 4, 4: 4, 5: 8, 6: 8, 7: 2, 8: 2, 9: 4, 10: 4, 11: 4, 12: 4}


def skip_attributes(data, pos):
    count = struct.unpack_from(">H", data, pos)[0]
    pos += 2
    for _ in range(count):
        pos += 6 + struct.unpack_from(">I", data, pos + 2)[0]
    return pos


def skip_members(data, pos):
    count = struct.unpack_from(">H", data, pos)[0]
    pos += 2
    for _ in range(count):
        pos = skip_attributes(data, pos + 6)
    return pos


def pad_class(data, size):
    cp_count = struct.unpack_from(">H", data, 8)[0]
    pos, index = 10, 1
    while index < cp_count:
        tag = data[pos]
        if tag == 1:
            pos += 3 + struct.unpack_from(">H", data, pos + 1)[0]
        else:
            pos += 1 + CONSTANT_SIZES[tag]
        index += 2 if tag in (5, 6) else 1
    cp_end = pos
    interfaces = struct.unpack_from(">H", data, pos + 6)[0]
    pos = skip_members(data, pos + 8 + 2 * interfaces)  # fields
    attributes_at = skip_members(data, pos)  # methods
    attributes = struct.unpack_from(">H", data, attributes_at)[0]
    entry = b"\x01" + struct.pack(">H", len(PAD_ATTRIBUTE)) + PAD_ATTRIBUTE
    fill = size - (len(data) + len(entry) + 6)
    if fill < 0:
        return None
    return (data[:8] + struct.pack(">H", cp_count + 1) + data[10:cp_end] + entry
            + data[cp_end:attributes_at] + struct.pack(">H", attributes + 1)
            + data[attributes_at + 2:] + struct.pack(">HI", cp_count, fill) + bytes(fill))


def pad_png(data, size):
    fill = size - len(data) - 12
    if fill < 0:
        return None
    chunk = PAD_CHUNK + bytes(fill)
    return (data[:-12] + struct.pack(">I", fill) + chunk
            + struct.pack(">I", zlib.crc32(chunk)) + data[-12:])


def main():
    path, size = sys.argv[1], int(sys.argv[2])
    with open(path, "rb") as f:
        data = f.read()
    if len(data) == size:
        return
    padded = pad_png(data, size) if path.endswith(".png") else pad_class(data, size)
    if padded is None:
        sys.exit(f"{path}: {len(data)} bytes, too large for its {size} bytes (padding needs room too)")
    with open(path, "wb") as f:
        f.write(padded)


if __name__ == "__main__":
    main()
