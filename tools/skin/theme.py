# SPDX-License-Identifier: MIT
"""Looks other than the default skin's, made by the same drawing code with other colours and
options. A theme is applied once, before anything is drawn.

high-contrast, for players with low vision or colour-vision deficiency: pieces in yellow, sky
blue and vermilion (far apart in brightness, not only in hue), each with a large black symbol of
its own (circle, triangle, diamond) and a thick white outline, on dark backgrounds; the play
screen's side panels flat and near black, their words white and their large digits white and
yellow (every one 7:1 or more against the panel); a focus ring of yellow between black edges,
which stands out on light and dark grounds alike. The layout, the words and the sounds are the
default skin's.
"""
import numpy as np
from PIL import Image

import creatures
import font_sheet
import layout as L
import screens
import widgets
from draw import canvas, drop_shadow, fill, grow, rrect_mask, union

# The digit strips: (font size, top colour, bottom colour, outline) of each.
DEFAULT_DIGITS = {
    "time": (21, (255, 255, 255), (200, 224, 255), (40, 70, 130)),
    "score": (19, (255, 255, 255), (255, 214, 120), (150, 70, 30)),
    "stage": (28, (255, 246, 200), (250, 150, 50), (130, 50, 20)),
}
HIGH_CONTRAST_DIGITS = {
    "time": (24, (255, 255, 255), (255, 255, 255), (0, 0, 0)),
    "score": (23, (255, 255, 120), (255, 230, 0), (0, 0, 0)),
    "stage": (32, (255, 255, 255), (255, 230, 0), (0, 0, 0)),
}
HIGH_CONTRAST_COLOURS = [(255, 214, 0), (86, 180, 233), (225, 80, 20)]
HIGH_CONTRAST_PANEL = (14, 18, 34)
HIGH_CONTRAST_WIDGETS = {
    "HUD_PANEL": HIGH_CONTRAST_PANEL, "HUD_BORDER": (236, 236, 236), "HUD_FLAT": True,
    "HUD_LABEL": (255, 255, 255), "HUD_INK": (255, 255, 255),
    "DIFFICULTY_COLOURS": [(140, 235, 110), (255, 200, 90), (255, 140, 130)],
    "FOCUS_RING": (255, 214, 0), "FOCUS_GAP": (0, 0, 0), "FOCUS_EDGE": (0, 0, 0), "FOCUS_WIDTH": 3.2,
}
# The help page keeps its light paper; its coloured words darken to 7:1 or more against it,
# its rules and the marks of what has no control to 4:1 or more.
HIGH_CONTRAST_HELP = {
    "HELP_TITLE": (150, 56, 0), "HELP_HEAD": (120, 56, 16), "HELP_RULE": (150, 100, 60),
    "HELP_NONE": (120, 96, 80), "HELP_CLOSE_INK": (16, 84, 16),
}
# The run-time font's ink: black on the light wells the game writes in.
HIGH_CONTRAST_FONT_INK = (0, 0, 0)
DARK = 0.28      # how much of the default backgrounds' brightness the dark ones keep

THEMES = ("default", "high-contrast")
digits = DEFAULT_DIGITS


def _bold_piece(colour, link):
    """A pair half: flat colour inside a thick white outline, its symbol large and black."""
    img = canvas(L.CELL, L.CELL)
    body = rrect_mask(img, (4, 4, 28, 28), 7)
    if link in creatures.BRIDGES:
        body = union(body, rrect_mask(img, creatures.BRIDGES[link], 3))
    drop_shadow(img, body, 0.5, 1.0, 0.8, 0.6)
    fill(img, grow(body, 2.5), (255, 255, 255))
    fill(img, body, creatures.COLOURS[colour])
    mark = creatures.mark_mask(img, colour, 16, 16.5, 8.0)
    fill(img, grow(mark, 1.2), (255, 255, 255))
    fill(img, mark, (0, 0, 0))
    return img


def _darkened(make):
    def dark():
        img = make()
        arr = np.asarray(img.convert("RGB"), np.float64) * DARK
        return Image.fromarray(arr.round().astype(np.uint8), "RGB")
    return dark


def apply(name):
    global digits
    if name == "default":
        return
    creatures.COLOURS[:] = HIGH_CONTRAST_COLOURS
    for name, value in HIGH_CONTRAST_WIDGETS.items():
        setattr(widgets, name, value)
    for name, value in HIGH_CONTRAST_HELP.items():
        setattr(screens, name, value)
    creatures.piece = _bold_piece
    font_sheet.INK = HIGH_CONTRAST_FONT_INK
    screens.title_background = _darkened(screens.title_background)
    original_sky = screens._sky

    def dark_sky(img, w, h):
        original_sky(img, w, h)
        arr = np.asarray(img, np.float64)
        arr[:, :, :3] *= DARK
        img.paste(Image.fromarray(arr.round().astype(np.uint8), "RGBA"))
    screens._sky = dark_sky
    digits = HIGH_CONTRAST_DIGITS
