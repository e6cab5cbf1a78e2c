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


def panel(img, rect, radius=12, colour=CREAM, border=BORDER, opacity=1.0, shadow=0.4, border_px=2.5):
    """A rounded panel with a soft shadow, a border and a faint gloss along its top."""
    x0, y0, x1, y1 = rect
    m = rrect_mask(img, rect, radius)
    if shadow:
        fill(img, blur(shift(m, 2, 3), 2.5), (30, 20, 40), shadow)
    fill(img, m, border, opacity)
    inner = rrect_mask(img, (x0 + border_px, y0 + border_px, x1 - border_px, y1 - border_px),
                       max(1, radius - border_px))
    grad = vgradient(img.size, shade(colour, 0.4), shade(colour, -0.06), S(y0), S(y1))
    fill_image(img, inner, grad, opacity)
    top = intersect(inner, rrect_mask(img, (x0 + 4, y0 + 3, x1 - 4, y0 + (y1 - y0) * 0.35), radius * 0.7))
    fill(img, blur(top, 1.0), (255, 255, 255), 0.35 * opacity)
    return m


def label(img, xy, s, size=12, colour=INK, anchor="la"):
    return text(img, xy, s, size, colour, anchor=anchor)


# --- buttons ----------------------------------------------------------------------------------

def button(w, h, caption, lit, base=ORANGE, size=15):
    """A glossy pill button; the lit look is brighter with a warm glow."""
    img = canvas(w, h)
    rect = (3, 2, w - 3, h - 4)
    m = rrect_mask(img, rect, (h - 6) / 2)
    if lit:
        fill(img, blur(grow(m, 1.5), 2.0), (255, 240, 120), 0.9)
    else:
        drop_shadow(img, m, 1.0, 2.0, 1.2, 0.5)
    colour = shade(base, 0.12) if lit else base
    fill(img, m, shade(colour, -0.45))
    inner = grow(m, -1.2)
    fill_image(img, inner, vgradient(img.size, shade(colour, 0.45), shade(colour, -0.12), S(rect[1]), S(rect[3])))
    hl = intersect(inner, rrect_mask(img, (rect[0] + 5, rect[1] + 2, rect[2] - 5, rect[1] + (h - 6) * 0.45),
                                     (h - 6) / 4))
    fill(img, blur(hl, 0.6), (255, 255, 255), 0.5)
    # the caption keeps clear of the rounded ends
    while size > 9 and text_width(caption, size) > w - h:
        size -= 1
    text(img, (w / 2, (rect[1] + rect[3]) / 2 + 0.5), caption, size, (255, 255, 255), anchor="mm",
         outline=shade(colour, -0.55), outline_px=1.3)
    return downsample(img)


def glow_link(w, h):
    """The web link's highlight: a warm frame that fades in around the label under it; inside
    only a faint tint, so the blue label stays dark on its light ground."""
    img = canvas(w, h)
    m = rrect_mask(img, (2, 2, w - 2, h - 2), 8)
    fill(img, blur(subtract(grow(m, 1.0), grow(m, -3.0)), 1.2), (255, 200, 90), 0.6)
    fill(img, m, (255, 236, 190), 0.18)
    fill(img, subtract(m, grow(m, -2.0)), (226, 120, 30), 0.95)
    return downsample(img)


# --- digit strips -----------------------------------------------------------------------------

def glyph_strip(w, h, glyphs, size, top, bottom, outline, dy=0.0, condensed=False):
    """One glyph per row, centred, with a gradient fill, an outline and a soft shadow."""
    img = canvas(w, h * len(glyphs))
    for i, g in enumerate(glyphs):
        m = text_mask(img, (w / 2, i * h + h / 2 + dy), g, size, anchor="mm", condensed=condensed)
        fill(img, blur(shift(grow(m, 1.2), 1, 1.5), 0.8), (0, 0, 0), 0.45)
        fill(img, grow(m, 1.3), outline)
        fill_image(img, m, vgradient(img.size, top, bottom, S(i * h + 2), S(i * h + h - 2)))
    return downsample(img)


def times_sign(img, w, row_top, h, outline):
    cx, cy, r = w / 2, row_top + h / 2, 3.2
    m = new_mask(img)
    d = ImageDraw.Draw(m)
    d.line([S(cx - r), S(cy - r), S(cx + r), S(cy + r)], fill=255, width=S(1.8))
    d.line([S(cx - r), S(cy + r), S(cx + r), S(cy - r)], fill=255, width=S(1.8))
    fill(img, grow(m, 1.0), outline)
    fill(img, m, (255, 250, 200))


def movenum_strip():
    """11 rows of 17: the digits of the score pop-ups and, in row 10, the multiplication sign."""
    w, h = L.MOVE_GLYPH
    # small enough that the pop-ups of targets side by side stay apart as digits
    strip = glyph_strip(w, h, [str(d) for d in range(10)] + [" "], 11, (255, 255, 200), (255, 196, 60),
                        (120, 50, 20), condensed=True)
    sign = canvas(w, h * 11)
    times_sign(sign, w, 10 * h, h, (120, 50, 20))
    strip.alpha_composite(downsample(sign))
    return strip


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
    for j, (word, colour) in enumerate([("EASY", (110, 200, 80)), ("NORMAL", (250, 170, 50)),
                                        ("HARD", (235, 80, 70))]):
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

