# SPDX-License-Identifier: MIT
"""The screens the game writes its own text into with the run-time font: the high-score
table, the controls page and the name-entry panel. Each keeps plain and light the areas the
game writes in, at the positions layout.py fixes."""
from PIL import Image

import layout as L
import screens
import widgets as W
from draw import S, canvas, downsample, fill, fill_image, grow, rrect_mask, shade, text, text_width, vgradient

# The stage selection's words and colours of the three difficulties.
DIFFICULTIES = (("Easy", (110, 200, 80)), ("Normal", (250, 170, 50)), ("Hard", (235, 80, 70)))
WELL = (255, 253, 246)          # where the game writes: plain and light
WELL_EDGE = (214, 170, 128)
SEPARATOR = (232, 214, 190)


def _screen():
    """A full screen over the menus' background, opaque."""
    img = canvas(L.SCREEN_W, L.SCREEN_H)
    bk = screens.title_background().convert("RGBA").resize(img.size, Image.Resampling.NEAREST)
    img.alpha_composite(bk)
    return img


def _heading(img, words):
    top, bottom = L.HEADING_Y
    text(img, (L.SCREEN_W / 2, (top + bottom) / 2), words, 32, (255, 255, 255), anchor="mm",
         outline=(200, 100, 40), outline_px=2.5, shadow=0.4)


def _footer(img, hint):
    top, bottom = L.FOOTER_Y
    text(img, (L.SCREEN_W / 2, (top + bottom) / 2), hint, 13, (255, 255, 255), anchor="mm",
         outline=(40, 50, 90), outline_px=1.8)


def _well(img, rect, radius=5):
    """A light sunken field the game writes into."""
    x0, y0, x1, y1 = rect
    m = rrect_mask(img, rect, radius)
    fill(img, m, WELL_EDGE)
    fill(img, rrect_mask(img, (x0 + 1, y0 + 1, x1 - 1, y1 - 1), radius - 1), shade(WELL, -0.06))
    fill(img, rrect_mask(img, (x0 + 1.5, y0 + 2.5, x1 - 1.5, y1 - 1.5), radius - 1.5), WELL)
    return m


def scores_background():
    """720 x 540: three panels of eight rows, one a difficulty."""
    img = _screen()
    _heading(img, "High scores")
    py0, py1 = L.SCORES_PANEL_Y
    hy0, hy1 = L.SCORES_HEAD_Y
    for x, (word, colour) in zip(L.SCORES_PANEL_X, DIFFICULTIES):
        W.panel(img, (x, py0, x + L.SCORES_PANEL_W, py1), radius=14)
        band = rrect_mask(img, (x + 8, hy0, x + L.SCORES_PANEL_W - 8, hy1), 10)
        fill(img, band, shade(colour, -0.45))
        fill_image(img, grow(band, -1.2), vgradient(img.size, shade(colour, 0.45), colour, S(hy0), S(hy1)))
        text(img, (x + L.SCORES_PANEL_W / 2, (hy0 + hy1) / 2 + 0.5), word, 17, (255, 255, 255), anchor="mm",
             outline=shade(colour, -0.55), outline_px=1.4)
        top = L.SCORES_ROW_Y
        bottom = top + L.SCORES_ROW_STEP * (L.SCORES_ROWS - 1) + L.SCORES_ROW_H
        fill(img, rrect_mask(img, (x + 4, top - 1, x + L.SCORES_PANEL_W - 4, bottom + 1), 4), WELL)
        for r in range(1, L.SCORES_ROWS):
            y = top + L.SCORES_ROW_STEP * r - 2
            fill(img, rrect_mask(img, (x + 10, y, x + L.SCORES_PANEL_W - 10, y + 1), 0), SEPARATOR)
    _footer(img, "Enter or click an entry to watch its game again     Esc: back")
    return downsample(img).convert("RGB")


def controls_background():
    """720 x 540: one row an action, each with a well for its key and one for its pad button."""
    img = _screen()
    _heading(img, "Controls")
    W.panel(img, L.CONTROLS_PANEL, radius=16, flat=True)   # flat: the message line stays plain
    x0, _, x1, _ = L.CONTROLS_PANEL
    hy0, hy1 = L.CONTROLS_HEAD_Y
    for x, word in L.CONTROLS_COLUMNS:
        text(img, (x, (hy0 + hy1) / 2), word, 14, screens.HELP_HEAD, anchor="lm")
    fill(img, rrect_mask(img, (x0 + 20, hy1 + 2, x1 - 20, hy1 + 3), 0), screens.HELP_RULE)
    for r, action in enumerate(L.ACTIONS):
        y = L.CONTROLS_ROW_Y + L.CONTROLS_ROW_STEP * r
        text(img, (L.CONTROLS_COLUMNS[0][0], y + L.CONTROLS_ROW_H / 2), action, 15, W.INK, anchor="lm")
        for wx0, wx1 in (L.CONTROLS_KEY_WELL, L.CONTROLS_PAD_WELL):
            _well(img, (wx0, y, wx1, y + L.CONTROLS_ROW_H), 6)
    _footer(img, "Enter: bind a new key or button     Delete: clear     Esc: back")
    return downsample(img).convert("RGB")


def name_panel():
    """440 x 240, drawn through its mask at (140, 150) over the play screen."""
    w, h = L.NAME_PANEL_SIZE
    img = canvas(w, h)
    W.panel(img, (2, 2, w - 4, h - 5), radius=18, shadow=0.5)
    hy0, hy1 = L.NAME_HEADING_Y
    text(img, (w / 2, (hy0 + hy1) / 2), "A new high score!", 24, (255, 255, 255), anchor="mm",
         outline=(232, 110, 50), outline_px=2.2, shadow=0.3)
    _well(img, L.NAME_FIELD, 6)
    py0, py1 = L.NAME_PICKER_Y
    fill(img, rrect_mask(img, (14, py0 - 2, w - 14, py1 + 2), 6), shade(WELL, -0.03))
    hy0, hy1 = L.NAME_HINT_Y
    hint = "Type a name or pick with the pad; Enter keeps it"
    size = 12
    while size > 9 and text_width(hint, size) > w - 40:
        size -= 1
    text(img, (w / 2, (hy0 + hy1) / 2), hint, size, W.INK, anchor="mm")
    return downsample(img)
