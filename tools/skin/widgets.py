# SPDX-License-Identifier: MIT
"""Panels, buttons, digit strips, check boxes and the other small pictures of the skin."""
import math

import numpy as np
from PIL import Image, ImageDraw

import layout as L
from draw import (S, blur, canvas, downsample, drop_shadow, ellipse_mask, fill, fill_image, glossy, grow,
                  intersect, lerp, new_mask, poly_mask, rrect_mask, shade, shift, subtract, text, text_mask,
                  text_width, union, vgradient)

CREAM = (255, 248, 232)
BORDER = (214, 128, 62)
INK = (84, 48, 30)
ORANGE = (250, 160, 60)
SKY = (120, 190, 245)
# The keyboard's focus: a ring round the focused button and a gap of another colour between it
# and the button, on light and dark grounds alike; a theme may add an outer edge and widen it.
FOCUS_RING = (28, 36, 96)
FOCUS_GAP = (255, 255, 255)
FOCUS_EDGE = None
FOCUS_WIDTH = 2.2

# The play screen's side panels and what is written on them; a theme may give them its own
# colours and a flat fill without gloss.
HUD_PANEL, HUD_BORDER, HUD_FLAT = CREAM, BORDER, False
HUD_LABEL = (170, 96, 46)      # BEST, SCORE, LEVEL, STAGE, TIME, LEFT
HUD_INK = INK                  # Music, Sound, the time's colon, the keys under the buttons
DIFFICULTY_COLOURS = [(110, 200, 80), (250, 170, 50), (235, 80, 70)]


def panel(img, rect, radius=12, colour=CREAM, border=BORDER, opacity=1.0, shadow=0.4, border_px=2.5, flat=False):
    """A rounded panel with a soft shadow, a border and a faint gloss along its top (none when flat)."""
    x0, y0, x1, y1 = rect
    m = rrect_mask(img, rect, radius)
    if shadow:
        fill(img, blur(shift(m, 2, 3), 2.5), (30, 20, 40), shadow)
    fill(img, m, border, opacity)
    inner = rrect_mask(img, (x0 + border_px, y0 + border_px, x1 - border_px, y1 - border_px),
                       max(1, radius - border_px))
    if flat:
        fill(img, inner, colour, opacity)
        return m
    grad = vgradient(img.size, shade(colour, 0.4), shade(colour, -0.06), S(y0), S(y1))
    fill_image(img, inner, grad, opacity)
    top = intersect(inner, rrect_mask(img, (x0 + 4, y0 + 3, x1 - 4, y0 + (y1 - y0) * 0.35), radius * 0.7))
    fill(img, blur(top, 1.0), (255, 255, 255), 0.35 * opacity)
    return m


def hud_panel(img, rect):
    """One of the play screen's side panels."""
    return panel(img, rect, colour=HUD_PANEL, border=HUD_BORDER, flat=HUD_FLAT)


def focus_ring(img, m, hollow=False):
    """Paints the focus ring along the inside of the shape `m` and returns what lies within it,
    which is painted over with the gap's colour unless `hollow`."""
    layers = [(m, FOCUS_RING), (grow(m, -FOCUS_WIDTH), FOCUS_GAP), (grow(m, -FOCUS_WIDTH - 1.0), None)]
    if FOCUS_EDGE is not None:
        layers.insert(0, (m, FOCUS_EDGE))
        layers[1] = (grow(m, -1.0), FOCUS_RING)
    for (shape, colour), (inner, _) in zip(layers, layers[1:]):
        fill(img, subtract(shape, inner) if hollow else shape, colour)
    return layers[-1][0]


def label(img, xy, s, size=12, colour=INK, anchor="la"):
    return text(img, xy, s, size, colour, anchor=anchor)


# --- buttons ----------------------------------------------------------------------------------

def button(w, h, caption, lit, base=ORANGE, size=15):
    """A glossy pill button. The lit look is what the keyboard's focus and the cursor show, so
    it must stand out on light panels and dark ones alike: brighter, in a navy-and-white ring,
    with pointers at both ends. The ring lies within the plain look's outline, so both looks
    cover the same ground (the confirmation panels are cut open in it)."""
    img = canvas(w, h)
    rect = (3, 2, w - 3, h - 4)
    m = rrect_mask(img, rect, (h - 6) / 2)
    drop_shadow(img, m, 1.0, 2.0, 1.2, 0.5)
    colour = base
    if lit:
        m = focus_ring(img, m)
        colour = shade(base, 0.18)
    fill(img, m, shade(colour, -0.45))
    inner = grow(m, -1.2)
    fill_image(img, inner, vgradient(img.size, shade(colour, 0.45), shade(colour, -0.12), S(rect[1]), S(rect[3])))
    hl = intersect(inner, rrect_mask(img, (rect[0] + 5, rect[1] + 2, rect[2] - 5, rect[1] + (h - 6) * 0.45),
                                     (h - 6) / 4))
    fill(img, blur(hl, 0.6), (255, 255, 255), 0.5)
    # the caption keeps clear of the rounded ends
    while size > 9 and text_width(caption, size) > w - h:
        size -= 1
    middle = (rect[1] + rect[3]) / 2 + 0.5
    if lit:
        # in the rounded ends, clear of the caption, pointing at it
        k = h / 34
        for side in (-1, 1):
            x = w / 2 + side * (w / 2 - 6.2 - ((h - 6) / 2 - 3.2) * 0.5)
            pointer = poly_mask(img, [(x + side * 2.3 * k, middle - 4.5 * k), (x - side * 2.3 * k, middle),
                                      (x + side * 2.3 * k, middle + 4.5 * k)])
            fill(img, grow(pointer, 1.1), FOCUS_GAP)
            fill(img, pointer, FOCUS_RING)
    text(img, (w / 2, middle), caption, size, (255, 255, 255), anchor="mm",
         outline=shade(colour, -0.55), outline_px=1.3)
    return downsample(img)


def glow_link(w, h):
    """The highlight of the play screen's button 4: the buttons' focus ring round the words under
    it; inside only a faint tint, so the words keep their contrast with the panel."""
    img = canvas(w, h)
    m = rrect_mask(img, (1, 1, w - 1, h - 1), 8)
    fill(img, m, (255, 236, 190), 0.18)
    focus_ring(img, m, hollow=True)
    return downsample(img)


# --- digit strips -----------------------------------------------------------------------------

def glyph_strip(w, h, glyphs, size, top, bottom, outline, dy=0.0):
    """One glyph per row, centred, with a gradient fill, an outline and a soft shadow."""
    img = canvas(w, h * len(glyphs))
    for i, g in enumerate(glyphs):
        m = text_mask(img, (w / 2, i * h + h / 2 + dy), g, size, anchor="mm")
        fill(img, blur(shift(grow(m, 1.2), 1, 1.5), 0.8), (0, 0, 0), 0.45)
        fill(img, grow(m, 1.3), outline)
        fill_image(img, m, vgradient(img.size, top, bottom, S(i * h + 2), S(i * h + h - 2)))
    return downsample(img)


def movenum_strip():
    """11 rows of 17: the digits of the score pop-ups and, in row 10, the multiplication sign.
    Each glyph sits on an opaque tag filling its cell, so a pop-up cleanly covers the tail of
    one drawn before it 32 pixels to its left (targets side by side) instead of mixing with
    it. Glyphs are set 12 apart, so the covered one keeps the first 8 pixels of its third
    glyph: digits keep to the left 8 pixels of their cell and the small sign to the right 4,
    where the next pop-up hides it. Three "70x2" side by side read "70 70 70 x2"."""
    w, h = L.MOVE_GLYPH
    img = canvas(w, h * 11)
    edge = (40, 14, 6)
    for i in range(11):
        y = i * h
        fill(img, rrect_mask(img, (0, y + 1, w, y + h - 1), 0), edge)
        fill_image(img, rrect_mask(img, (0, y + 2, w, y + h - 2), 0),
                   vgradient(img.size, (120, 56, 28), (64, 26, 12), S(y + 2), S(y + h - 2)))
        if i < 10:
            m = text_mask(img, (4.2, y + h / 2 + 0.5), str(i), 12, anchor="mm")
            fill(img, grow(m, 0.9), edge)
        else:
            cx, cy, r = 10.1, y + h / 2 + 0.5, 1.8
            m = new_mask(img)
            d = ImageDraw.Draw(m)
            for dy in (-r, r):
                d.line([S(cx - r), S(cy - dy), S(cx + r), S(cy + dy)], fill=255, width=S(1.5))
        fill_image(img, m, vgradient(img.size, (255, 255, 210), (255, 196, 60), S(y + 3), S(y + h - 3)))
    return downsample(img)


# --- small controls ---------------------------------------------------------------------------

def check_box(on):
    w, h = L.CHECK_SIZE
    img = canvas(w, h)
    m = rrect_mask(img, (2, 2, w - 2, h - 2), 5)
    drop_shadow(img, m, 0.8, 1.2, 0.8, 0.45)
    fill(img, m, BORDER)
    fill_image(img, grow(m, -1.5), vgradient(img.size, (255, 255, 255), (236, 226, 210)))
    if on:
        tick = new_mask(img)
        ImageDraw.Draw(tick).line([S(6), S(12.5), S(10.5), S(17), S(18.5), S(6.5)], fill=255, width=S(3.2),
                                  joint="curve")
        fill(img, blur(shift(tick, 0.6, 0.9), 0.5), (0, 0, 0), 0.35)
        fill(img, tick, (60, 170, 60))
    return downsample(img)


def volume_bar():
    """The full bar; the game shows its left (level + 2) pixels, colour-keyed."""
    w, h = L.VOLUME_SIZE
    img = canvas(w, h)
    m = rrect_mask(img, (0, 1, w, h - 1), 3)
    arr = np.zeros((img.size[1], img.size[0], 3))
    xs = np.linspace(0, 1, img.size[0])
    for i, c in enumerate(np.array([lerp((90, 200, 90), (250, 210, 60), min(1, t * 2)) if t < 0.5 else
                                    lerp((250, 210, 60), (240, 110, 60), (t - 0.5) * 2) for t in xs]).T):
        arr[:, :, i] = c[None, :]
    grad = Image.fromarray(arr.astype(np.uint8), "RGB")
    fill_image(img, m, grad)
    fill(img, intersect(m, rrect_mask(img, (1, 2, w - 1, h / 2), 2)), (255, 255, 255), 0.35)
    out = downsample(img)
    arr = np.asarray(out).copy()
    opaque = arr[..., 3] >= 128
    arr[..., 3] = 255
    arr[~opaque, :3] = (255, 0, 255)
    return Image.fromarray(arr, "RGBA")


def difficulty_icons():
    """3 rows of 36 x 36: one, two and three stars on green, orange and red."""
    s = L.DIFF_ICON
    img = canvas(s, 3 * s)
    for j, colour in enumerate([(110, 200, 80), (250, 170, 50), (235, 80, 70)]):
        y = j * s
        m = ellipse_mask(img, (2, y + 2, s - 2, y + s - 2))
        drop_shadow(img, m, 1, 1.5, 1, 0.5)
        glossy(img, m, colour, bounds=(2, y + 2, s - 2, y + s - 2))
        n = j + 1
        for k in range(n):
            cx = s / 2 + (k - (n - 1) / 2) * 9
            cy = y + s / 2 + (2 if n == 3 and k == 1 else 0) - (1.5 if n == 3 and k != 1 else 0)
            r = 7.5 if n == 1 else 5.5
            pts = []
            for p in range(10):
                a = -math.pi / 2 + p * math.pi / 5
                rr = r if p % 2 == 0 else r * 0.45
                pts.append((cx + math.cos(a) * rr, cy + math.sin(a) * rr))
            star = poly_mask(img, pts)
            fill(img, grow(star, 0.8), shade(colour, -0.5))
            fill(img, star, (255, 250, 210))
    return downsample(img)


def difficulty_words():
    w, h = L.DIFF_GLYPH
    img = canvas(w, 3 * h)
    for j, (word, colour) in enumerate(zip(("EASY", "NORMAL", "HARD"), DIFFICULTY_COLOURS)):
        m = text_mask(img, (2, j * h + h / 2), word, 17, anchor="lm")
        fill(img, blur(shift(grow(m, 1.2), 1, 1.5), 0.8), (0, 0, 0), 0.4)
        fill(img, grow(m, 1.3), shade(colour, -0.55))
        fill_image(img, m, vgradient(img.size, shade(colour, 0.5), colour, S(j * h + 3), S(j * h + h - 3)))
    return downsample(img)


MUSIC_COLOURS = [(250, 150, 60), (90, 190, 90), (80, 150, 235), (190, 110, 220), (240, 100, 130)]


def music_tiles(locked):
    """5 rows of 64 x 32; both looks share one tile shape (their common mask)."""
    w, h = L.MUSIC_W, L.MUSIC_H
    img = canvas(w, 5 * h)
    for k in range(5):
        y = k * h
        m = rrect_mask(img, (2, y + 2, w - 2, y + h - 3), 9)
        drop_shadow(img, m, 1, 1.5, 1, 0.5)
        colour = (168, 164, 170) if locked else MUSIC_COLOURS[k]
        fill(img, m, shade(colour, -0.45))
        fill_image(img, grow(m, -1.3), vgradient(img.size, shade(colour, 0.45), shade(colour, -0.1),
                                                  S(y + 2), S(y + h - 3)))
        if locked:
            body = rrect_mask(img, (25, y + 13, 39, y + 24), 2)
            shackle = subtract(ellipse_mask(img, (27, y + 6, 37, y + 18)), ellipse_mask(img, (29.5, y + 8.5,
                                                                                             34.5, y + 16)))
            lock = union(body, intersect(shackle, poly_mask(img, [(20, y), (44, y), (44, y + 14), (20, y + 14)])))
            fill(img, grow(lock, 0.8), (80, 78, 86))
            fill(img, lock, (235, 232, 226))
        else:
            note = union(ellipse_mask(img, (12, y + 17, 20, y + 24)), rrect_mask(img, (17.6, y + 7, 19.6, y + 21), 0.8),
                         poly_mask(img, [(17.6, y + 6), (25, y + 9), (25, y + 12.5), (19.6, y + 10)]))
            fill(img, grow(note, 0.9), shade(colour, -0.55))
            fill(img, note, (255, 255, 255))
            text(img, (42, y + h / 2 - 0.5), str(k + 1), 16, (255, 255, 255), anchor="mm",
                 outline=shade(colour, -0.55), outline_px=1.2)
    return downsample(img)


def stage_marker():
    """16 x 48: arrows above and below the selected slot and a bright frame round it."""
    img = canvas(16, 48)
    frame = subtract(rrect_mask(img, (0.5, 11, 15.5, 42), 4), rrect_mask(img, (2.8, 13, 13.2, 40), 2))
    arrow = poly_mask(img, [(2, 0.5), (14, 0.5), (8, 9)])
    below = poly_mask(img, [(8, 40.5), (14, 47.5), (2, 47.5)])
    m = union(frame, arrow, below)
    fill(img, blur(grow(m, 0.8), 0.8), (120, 40, 0), 0.7)
    fill_image(img, m, vgradient(img.size, (255, 240, 120), (250, 140, 30)))
    return downsample(img)

