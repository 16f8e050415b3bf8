#!/usr/bin/env python3
"""Sets TEXT with Pillow's FreeType renderer at SIZE pixels, the baseline
ASCENT pixels down, and prints the picture as rows of '#' (full ink), '.'
(none) and '?' (grey). MODE is 1 for one-bit or L for anti-aliased."""
import sys

from PIL import Image, ImageDraw, ImageFont

path, size, mode, ascent, width, text = sys.argv[1:7]
size, ascent, width = int(size), int(ascent), int(width)
font = ImageFont.truetype(path, size)
image = Image.new("L", (width, size), 0)
draw = ImageDraw.Draw(image)
draw.fontmode = mode
draw.text((0, ascent), text, font=font, fill=255, anchor="ls")
for y in range(size):
    print("".join({0: ".", 255: "#"}.get(image.getpixel((x, y)), "?") for x in range(width)))
