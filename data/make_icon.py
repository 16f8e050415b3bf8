#!/usr/bin/env python3
"""Writes the editor's icon, a glyph "Q" on a cell grid, as fonteditor.svg and
fonteditor.png (64 x 64) from one drawing. Standard library only."""
import struct
import zlib
from pathlib import Path

GLYPH = [
    ".###.",
    "#...#",
    "#...#",
    "#...#",
    "#.#.#",
    "#..#.",
    ".##.#",
]
SIZE = 64
COLS, ROWS, CELL, PITCH, ORIGIN = 7, 7, 7, 8, 4
FRAME, FACE, LINE, WHITE, RED = "#808080", "#efefef", "#c0c0c0", "#ffffff", "#ff0000"


def rects():
    """(x, y, w, h, colour) from back to front."""
    yield 0, 0, SIZE, SIZE, FRAME
    yield 2, 2, SIZE - 4, SIZE - 4, FACE
    yield ORIGIN, ORIGIN, COLS * PITCH + 1, ROWS * PITCH + 1, LINE
    for r in range(ROWS):
        for c in range(COLS):
            inside = 1 <= c <= len(GLYPH[0])
            colour = FACE if not inside else RED if GLYPH[r][c - 1] == "#" else WHITE
            yield ORIGIN + 1 + c * PITCH, ORIGIN + 1 + r * PITCH, CELL, CELL, colour


def svg():
    body = [f'  <rect x="{x}" y="{y}" width="{w}" height="{h}" fill="{c}"/>' for x, y, w, h, c in rects()]
    return "\n".join([
        '<?xml version="1.0" encoding="UTF-8"?>',
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" viewBox="0 0 {SIZE} {SIZE}">',
        "  <title>QUELT font editor</title>", *body, "</svg>", ""])


def png():
    pixels = [[(0, 0, 0)] * SIZE for _ in range(SIZE)]
    for x, y, w, h, colour in rects():
        rgb = tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                pixels[yy][xx] = rgb
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


if __name__ == "__main__":
    here = Path(__file__).resolve().parent
    (here / "fonteditor.svg").write_text(svg())
    (here / "fonteditor.png").write_bytes(png())
