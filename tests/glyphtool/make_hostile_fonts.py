#!/usr/bin/python3
"""Makes hostile fonts for the import tests and the hostile-file benchmark.

square.ttf   816 bytes or so: one glyph, a square of 32,000 units in an em of
             16, mapped from the 95 printable ASCII codes
zeros.gz     a gzip file that inflates to SIZE bytes of zeros (default 64 MiB + 1)
"""
import gzip
import logging
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen


def square_ttf(path):
    side = 32000
    builder = FontBuilder(16, isTTF=True)
    builder.setupGlyphOrder([".notdef", "square"])
    builder.setupCharacterMap({code: "square" for code in range(0x20, 0x7F)})
    pen = TTGlyphPen(None)
    pen.moveTo((0, 0))
    pen.lineTo((0, side))
    pen.lineTo((side, side))
    pen.lineTo((side, 0))
    pen.closePath()
    builder.setupGlyf({".notdef": TTGlyphPen(None).glyph(), "square": pen.glyph()})
    builder.setupHorizontalMetrics({".notdef": (8, 0), "square": (8, 0)})
    builder.setupHorizontalHeader(ascent=12, descent=-4)
    builder.setupOS2(sTypoAscender=12, sTypoDescender=-4, usWinAscent=12, usWinDescent=4)
    builder.setupNameTable({"familyName": "Square", "styleName": "Regular"})
    builder.setupPost()
    builder.save(path)


def zeros_gz(path, size):
    with gzip.open(path, "wb", compresslevel=9) as out:
        block = bytes(1 << 20)
        while size > 0:
            out.write(block[: min(size, len(block))])
            size -= len(block)


def main(kind, path, *rest):
    logging.getLogger("fontTools").setLevel(logging.ERROR)
    if kind == "square.ttf":
        square_ttf(path)
    elif kind == "zeros.gz":
        zeros_gz(path, int(rest[0]) if rest else (64 << 20) + 1)
    else:
        sys.exit(f"unknown kind {kind}")


if __name__ == "__main__":
    main(*sys.argv[1:])
