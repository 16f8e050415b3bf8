"""Draws a PCF font's characters from FIRST to LAST as a sheet of fixed cells
with Pillow, as pixel fonts are shared: make_sheet.py FONT.pcf.gz OUT.png MODE
FIRST LAST PER_ROW SCALE ORIGIN_X ORIGIN_Y GAP_X GAP_Y. MODE is P (palette,
black on white), RGBA (dark red on transparent, light grey gaps) or L (grey,
dark grey on light grey). Each cell is the font's advance wide and its
ascent + descent high, the baseline under its ascent."""
import gzip
import sys

from PIL import Image, PcfFontFile

font_path, out, mode = sys.argv[1:4]
first, last, per_row, scale, ox, oy, gx, gy = (int(a, 0) for a in sys.argv[4:12])

with gzip.open(font_path) as f:
    pcf = PcfFontFile.PcfFontFile(f)
glyphs = [pcf.glyph[c] for c in range(first, last + 1)]
advance = max(g[0][0] for g in glyphs if g)
ascent = max(-g[1][1] for g in glyphs if g)
descent = max(g[1][3] for g in glyphs if g)
cw, ch = advance * scale, (ascent + descent) * scale
rows = (len(glyphs) + per_row - 1) // per_row
size = (ox + per_row * cw + (per_row - 1) * gx + 3, oy + rows * ch + (rows - 1) * gy + 2)

colours = {"P": (1, 0), "RGBA": ((120, 0, 0, 255), (0, 0, 0, 0)), "L": (40, 200)}
ink, paper = colours[mode]
if mode == "P":
    sheet = Image.new("P", size, paper)
    sheet.putpalette([255, 255, 255, 0, 0, 0])
else:
    sheet = Image.new(mode, size, paper)
if mode == "RGBA":
    for x in range(size[0]):
        for y in range(size[1]):
            in_x = x >= ox and (x - ox) % (cw + gx) < cw
            in_y = y >= oy and (y - oy) % (ch + gy) < ch
            if not (in_x and in_y):
                sheet.putpixel((x, y), (220, 220, 220, 255))

for i, g in enumerate(glyphs):
    if not g:
        continue
    _, (x0, y0, _, _), _, bitmap = g
    cx = ox + (i % per_row) * (cw + gx)
    cy = oy + (i // per_row) * (ch + gy)
    for y in range(bitmap.size[1]):
        for x in range(bitmap.size[0]):
            if bitmap.getpixel((x, y)):
                left = cx + (x0 + x) * scale
                top = cy + (ascent + y0 + y) * scale
                for dy in range(scale):
                    for dx in range(scale):
                        sheet.putpixel((left + dx, top + dy), ink)
sheet.save(out, format="PNG")
