#!/usr/bin/env python3
"""Reads every table of a font with fontTools, checking every table's
checksum, the whole file's and the figures derived from the glyphs; prints
the warnings, if any, and exits non-zero when a table cannot be read."""
import logging
import struct
import sys

from fontTools.ttLib import TTFont

logging.basicConfig(level=logging.WARNING, format="%(levelname)s %(name)s: %(message)s")
font = TTFont(sys.argv[1], checkChecksums=2)
font.ensureDecompiled()
# Decompiling every glyph reads each outline, not just the loca offsets.
if "glyf" in font:
    for name in font.getGlyphOrder():
        font["glyf"][name].expand(font["glyf"])
# The figures derived from the glyphs, as fontTools works them out again.
written = {
    "maxp": {k: getattr(font["maxp"], k) for k in ("numGlyphs", "maxPoints", "maxContours")},
    "head": {k: getattr(font["head"], k) for k in ("xMin", "yMin", "xMax", "yMax")},
    "hhea": {k: getattr(font["hhea"], k) for k in
             ("advanceWidthMax", "minLeftSideBearing", "minRightSideBearing", "xMaxExtent")},
    "OS/2": {"xAvgCharWidth": font["OS/2"].xAvgCharWidth},
}
font["maxp"].recalc(font)
font["hhea"].recalc(font)
font["OS/2"].recalcAvgCharWidth(font)
for tag, figures in written.items():
    for name, value in figures.items():
        if getattr(font[tag], name) != value:
            logging.warning("%s %s is %s; the glyphs give %s", tag, name, value,
                            getattr(font[tag], name))
with open(sys.argv[1], "rb") as file:
    data = file.read()
data += b"\0" * (-len(data) % 4)
if sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF != 0xB1B0AFBA:
    logging.warning("the file's checksum is not 0xB1B0AFBA: head's adjustment is wrong")
