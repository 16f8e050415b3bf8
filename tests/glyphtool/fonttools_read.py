#!/usr/bin/env python3
"""Reads every table of a font with fontTools; prints its warnings, if any,
and exits non-zero when a table cannot be read."""
import logging
import sys

from fontTools.ttLib import TTFont

logging.basicConfig(level=logging.WARNING, format="%(levelname)s %(name)s: %(message)s")
font = TTFont(sys.argv[1])
for tag in font.keys():
    if tag != "GlyphOrder":
        font[tag].ensureDecompiled() if hasattr(font[tag], "ensureDecompiled") else None
# Decompiling every glyph reads each outline, not just the loca offsets.
if "glyf" in font:
    for name in font.getGlyphOrder():
        font["glyf"][name].expand(font["glyf"])
