# SPDX-License-Identifier: MIT
"""The run-time font: the characters 0x20..0xFF of Windows-1252 in a sheet of 16 x 14 cells
of 16 x 22, cell (col, row) holding code 0x20 + 16 * row + col. Each glyph's ink starts at
x = 1 of its cell, its baseline at y = 16; the game sets each glyph from its mask (the
rightmost column with any ink, plus 1) and a space 5 pixels wide. The picture is one ink
colour, the mask carries the anti-aliasing."""
import numpy as np
from PIL import Image, ImageDraw

from draw import SCALE, S, downsample, font

COLUMNS, ROWS = 16, 14
CELL_W, CELL_H = 16, 22
FIRST = 0x20
LEFT, BASELINE = 1, 16
SIZE = 12
FAINTEST = 40          # coverage (of 255) below which a pixel is left out
INK = (84, 48, 30)      # a theme sets its own; it reads on every light well of the skin


def character(code):
    """The character of a Windows-1252 code, or None for the codes it leaves undefined, the
    controls and the blanks (which draw nothing)."""
    if code == 0x7F or code == 0xA0 or code == 0x20:
        return None
    try:
        return bytes([code]).decode("cp1252")
    except UnicodeDecodeError:
        return None


def _glyph_mask(ch, size, condensed):
    """The glyph on a 4x canvas of one cell, its ink moved to x = LEFT; None when it does not
    fit the cell with its right column and bottom row left clear."""
    m = Image.new("L", (S(CELL_W), S(CELL_H)), 0)
    ImageDraw.Draw(m).text((S(CELL_W / 2), S(BASELINE)), ch, font=font(size, True, condensed), fill=255,
                           anchor="ms")
    box = m.getbbox()
    if box is None:
        return m
    left, top, right, bottom = box
    dx = S(LEFT) - left
    if right + dx > S(CELL_W - 1) or bottom > S(CELL_H - 1) or top < 0:
        return None
    out = Image.new("L", m.size, 0)
    out.paste(m, (dx, 0))
    return out


def glyph(ch):
    """The largest look up to SIZE that fits: DejaVu Sans Bold, or its condensed cut for the
    widest letters (Æ, Œ, ‰, ...)."""
    for size in range(SIZE, 7, -1):
        for condensed in (False, True):
            m = _glyph_mask(ch, size, condensed)
            if m is not None:
                return m
    raise ValueError(f"no size of {ch!r} fits a {CELL_W} x {CELL_H} cell")


def font_sheet(ink=None):
    ink = INK if ink is None else ink
    sheet = Image.new("RGBA", (COLUMNS * CELL_W, ROWS * CELL_H), tuple(ink) + (0,))
    big = Image.new("L", (S(COLUMNS * CELL_W), S(ROWS * CELL_H)), 0)
    for i in range(COLUMNS * ROWS):
        ch = character(FIRST + i)
        if ch is None:
            continue
        col, row = i % COLUMNS, i // COLUMNS
        big.paste(glyph(ch), (S(col * CELL_W), S(row * CELL_H)))
    layer = Image.new("RGBA", big.size, tuple(ink) + (255,))
    layer.putalpha(big)
    small = downsample(layer)
    # One colour: only the coverage varies. The faintest fringe is dropped: the game sets each
    # glyph after the last column with any coverage, and a column nobody sees would only widen
    # the gaps between letters.
    alpha = np.asarray(small.getchannel("A"))
    alpha = np.where(alpha < FAINTEST, 0, alpha).astype(np.uint8)
    sheet.putalpha(Image.fromarray(alpha, "L"))
    return sheet


def advance(sheet, code):
    """What the game sets a character apart by, read from the sheet's coverage (5 for a blank)."""
    i = code - FIRST
    col, row = i % COLUMNS, i // COLUMNS
    a = np.asarray(sheet.getchannel("A"))[row * CELL_H:(row + 1) * CELL_H, col * CELL_W:(col + 1) * CELL_W]
    levels = (a.astype(np.int32) * 31 + 127) // 255
    cols = np.nonzero(levels.max(axis=0) > 0)[0]
    return 5 if len(cols) == 0 else int(cols[-1]) + 1


def text_width(sheet, s):
    """The width the game gives a line of text in this font."""
    return sum(advance(sheet, b) for b in s.encode("cp1252"))
