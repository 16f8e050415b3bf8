#!/usr/bin/python3
"""Makes hostile fonts for the import tests and the hostile-file benchmark.

square.ttf   816 bytes or so: one glyph, a square of 32,000 units in an em of
             16, mapped from the 95 printable ASCII codes
zeros.gz     a gzip file that inflates to SIZE bytes of zeros (default 64 MiB + 1)
big.pcf.gz   a 7-pixel PCF strike whose one glyph, 'A', is 65535 x 65534 set pixels
reversed.pcf.gz
             a 7-pixel PCF strike of the 95 printable ASCII characters whose
             bitmaps lie in reverse code order behind SIZE bytes of zeros
             (default 256 MiB)
boxes.bdf    30,000 BDF glyphs of BBX 65535 7
wide.pcf.gz  a 7-pixel PCF strike of 'A', 300 x 7 set pixels, and 'B', a 5 x 7 frame
"""
import gzip
import logging
import struct
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


def pcf_table(fmt, body):
    data = struct.pack("<I", fmt) + body
    return data + bytes(-len(data) % 4)


def metric(left, right, width, ascent, descent):
    return struct.pack("<6h", left, right, width, ascent, descent, 0)


def write_pcf(path, metrics, offsets, bitmap_chunks, first, last):
    """A PCF file, gzip-compressed, least significant byte first, glyph rows
    padded to one byte, its bitmap data given as chunks so that it is never
    held whole."""
    names = b""
    props = b""
    for name, is_string, value in [(b"FONT_ASCENT", 0, 6), (b"FONT_DESCENT", 0, 1),
                                   (b"CHARSET_REGISTRY", 1, b"ISO10646"),
                                   (b"CHARSET_ENCODING", 1, b"1")]:
        name_at = len(names)
        names += name + b"\0"
        if is_string:
            value_at = len(names)
            names += value + b"\0"
            value = value_at
        props += struct.pack("<IBi", name_at, is_string, value)
    props += bytes(-len(props) % 4)
    properties = pcf_table(0, struct.pack("<I", 4) + props + struct.pack("<I", len(names)) + names)
    bounds = metric(0, 5, 5, 6, 1)
    accelerators = pcf_table(0, bytes(8) + struct.pack("<iii", 6, 1, 0) + bounds + bounds)
    metrics_table = pcf_table(0, struct.pack("<I", len(metrics)) + b"".join(metrics))
    data_size = sum(len(chunk) if isinstance(chunk, bytes) else chunk[1] for chunk in bitmap_chunks)
    bitmap_head = struct.pack("<I", 8) + struct.pack("<I", len(metrics))
    bitmap_head += b"".join(struct.pack("<I", o) for o in offsets)
    bitmap_head += struct.pack("<4I", data_size, data_size, data_size, data_size)
    encodings = [0xFFFF] * (last - first + 1)
    for glyph, code in enumerate(range(first, last + 1)):
        if glyph < len(metrics):
            encodings[code - first] = glyph
    encoding_table = pcf_table(0, struct.pack("<5h", first, last, 0, 0, 0) +
                               b"".join(struct.pack("<H", e) for e in encodings))
    tables = [(1, properties), (2, accelerators), (4, metrics_table)]
    offset = 8 + 16 * 5
    toc = b""
    for kind, body in tables:
        toc += struct.pack("<4I", kind, 0, len(body), offset)
        offset += len(body)
    bitmaps_at = offset
    bitmaps_size = len(bitmap_head) + data_size
    bitmaps_size += -bitmaps_size % 4
    toc += struct.pack("<4I", 8, 8, bitmaps_size, bitmaps_at)
    toc += struct.pack("<4I", 32, 0, len(encoding_table), bitmaps_at + bitmaps_size)
    with gzip.open(path, "wb", compresslevel=9) as out:
        out.write(b"\1fcp" + struct.pack("<I", 5) + toc)
        for _, body in tables:
            out.write(body)
        out.write(bitmap_head)
        for chunk in bitmap_chunks:
            if isinstance(chunk, bytes):
                out.write(chunk)
            else:
                byte, size = chunk
                block = bytes([byte]) * (1 << 20)
                while size > 0:
                    out.write(block[: min(size, len(block))])
                    size -= len(block)
        out.write(bytes(-(len(bitmap_head) + data_size) % 4))
        out.write(encoding_table)


def big_pcf(path):
    # Widest and tallest a PCF metric allows: 65535 x 65534 pixels.
    glyph = metric(-32768, 32767, 5, 32767, 32767)
    write_pcf(path, [glyph], [0], [(0xFF, 8192 * 65534)], 0x41, 0x41)


def reversed_pcf(path, zeros):
    count = 0x7F - 0x20
    rows = bytes([0xF8, 0x88, 0x88, 0x88, 0x88, 0x88, 0xF8])
    offsets = [zeros + (count - 1 - i) * len(rows) for i in range(count)]
    write_pcf(path, [metric(0, 5, 5, 6, 1)] * count, offsets, [(0, zeros), rows * count],
              0x20, 0x7E)


def wide_pcf(path):
    wide = bytes([0xFF]) * (38 * 7)
    frame = bytes([0xF8, 0x88, 0x88, 0x88, 0x88, 0x88, 0xF8])
    write_pcf(path, [metric(0, 300, 5, 6, 1), metric(0, 5, 5, 6, 1)], [0, len(wide)],
              [wide + frame], 0x41, 0x42)


def boxes_bdf(path):
    with open(path, "w") as out:
        out.write("STARTFONT 2.1\nFONT boxes\nSIZE 7 75 75\nFONTBOUNDINGBOX 5 7 0 -1\n"
                  "STARTPROPERTIES 2\nFONT_ASCENT 6\nFONT_DESCENT 1\nENDPROPERTIES\n"
                  "CHARS 30000\n")
        for i in range(30000):
            out.write(f"STARTCHAR g{i}\nENCODING {0x100 + i}\nDWIDTH 5 0\nBBX 65535 7\n"
                      "BITMAP\nENDCHAR\n")
        out.write("ENDFONT\n")


def main(kind, path, *rest):
    logging.getLogger("fontTools").setLevel(logging.ERROR)
    if kind == "square.ttf":
        square_ttf(path)
    elif kind == "zeros.gz":
        zeros_gz(path, int(rest[0]) if rest else (64 << 20) + 1)
    elif kind == "big.pcf.gz":
        big_pcf(path)
    elif kind == "reversed.pcf.gz":
        reversed_pcf(path, int(rest[0]) if rest else 256 << 20)
    elif kind == "wide.pcf.gz":
        wide_pcf(path)
    elif kind == "boxes.bdf":
        boxes_bdf(path)
    else:
        sys.exit(f"unknown kind {kind}")


if __name__ == "__main__":
    main(*sys.argv[1:])
