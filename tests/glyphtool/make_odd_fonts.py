#!/usr/bin/python3
"""Makes scalable fonts with odd metrics from DejaVu Sans, for the import tests.

plain.ttf  DejaVu Sans cut down to A to Z
flat.ttf   the same with every ascender and descender set to 0
pair.ttc   a collection: first a face whose ascender no size fits in 7 rows,
           then plain.ttf
"""
import logging
import sys

from fontTools import subset
from fontTools.ttLib import TTCollection, TTFont

DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def cut_down():
    font = TTFont(DEJAVU)
    subsetter = subset.Subsetter()
    subsetter.populate(unicodes=range(0x41, 0x5B))
    subsetter.subset(font)
    return font


def main(out):
    logging.getLogger("fontTools").setLevel(logging.ERROR)
    plain = cut_down()
    plain.save(f"{out}/plain.ttf")

    flat = cut_down()
    flat["hhea"].ascent = flat["hhea"].descent = flat["hhea"].lineGap = 0
    os2 = flat["OS/2"]
    os2.sTypoAscender = os2.sTypoDescender = os2.sTypoLineGap = 0
    os2.usWinAscent = os2.usWinDescent = 0
    flat.save(f"{out}/flat.ttf")

    tall = cut_down()
    tall["hhea"].ascent = 10 * tall["head"].unitsPerEm
    collection = TTCollection()
    collection.fonts = [tall, TTFont(f"{out}/plain.ttf")]
    collection.save(f"{out}/pair.ttc")


if __name__ == "__main__":
    main(sys.argv[1])
