#!/usr/bin/python3
"""Writes a Windows FNT 2.0 bitmap font, 7 pixels high, for the import tests.

make_fnt.py OUT.fnt CHARSET FIRST LAST
Every code from FIRST to LAST gets a glyph 3 pixels wide whose rows spell the
code's low bits, so that each glyph can be told from the others.
"""
import struct
import sys

HEIGHT = 7
WIDTH = 3


def glyph_rows(code):
    # Row r is the code's bit r, drawn as a full row or a dot at the left.
    return [0xE0 if (code >> r) & 1 else 0x80 for r in range(HEIGHT)]


def main(out, charset, first, last):
    count = last - first + 1
    header_size = 118
    table_size = (count + 1) * 4  # the last entry is the absent character's
    face = b"Test\0"
    bits_offset = header_size + table_size + len(face)
    table = b""
    bitmaps = b""
    for code in list(range(first, last + 1)) + [first]:
        table += struct.pack("<HH", WIDTH, bits_offset + len(bitmaps))
        bitmaps += bytes(glyph_rows(code))
    size = bits_offset + len(bitmaps)
    header = struct.pack(
        "<HI60sHHHHHHHBBBHBHHBHHBBBBHIIIIB",
        0x0200, size, b"test".ljust(60, b"\0"), 0, 7, 96, 96, 6, 0, 0, 0, 0, 0, 400,
        charset, 0, HEIGHT, 0x20, WIDTH, WIDTH, first, last, 0, 0, 1, 0,
        header_size + table_size, 0, bits_offset, 0)
    assert len(header) == header_size, len(header)
    with open(out, "wb") as f:
        f.write(header + table + face + bitmaps)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]), int(sys.argv[3], 0), int(sys.argv[4], 0))
