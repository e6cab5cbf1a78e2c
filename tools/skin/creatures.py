# SPDX-License-Identifier: MIT
"""The pieces, the target creatures, their three big cousins and the kestrel.

Colour 0 is coral with round marks, colour 1 leaf green with triangles, colour 2 blue with
diamonds, so the colours differ in shape and brightness as well as in hue.
"""
import math
import random

from PIL import Image, ImageDraw

import layout as L
from draw import (S, blur, canvas, downsample, drop_shadow, ellipse_mask, fill, glossy, grow, intersect,
                  new_mask, poly_mask, rrect_mask, shade, subtract, union)

COLOURS = [(238, 86, 66), (118, 204, 58), (66, 110, 232)]
WHITE = (255, 255, 255)
INK = (40, 30, 50)


def mark_mask(img, kind, cx, cy, r):
    """The colour's mark: 0 circle, 1 triangle, 2 diamond."""
    if kind == 0:
        return ellipse_mask(img, (cx - r, cy - r, cx + r, cy + r))
    if kind == 1:
        return poly_mask(img, [(cx, cy - r * 1.15), (cx + r * 1.1, cy + r * 0.8), (cx - r * 1.1, cy + r * 0.8)])
    return poly_mask(img, [(cx, cy - r * 1.2), (cx + r * 1.05, cy), (cx, cy + r * 1.2), (cx - r * 1.05, cy)])


# --- pieces -----------------------------------------------------------------------------------

BRIDGES = {0: (10, 0, 22, 16), 1: (16, 10, 32, 22), 2: (10, 16, 22, 32), 3: (0, 10, 16, 22)}


def piece(colour, link):
    """One pair half in a 4x cell canvas; link 0 up, 1 right, 2 down, 3 left, 4 single."""
    img = canvas(L.CELL, L.CELL)
    body = rrect_mask(img, (3, 3, 29, 29), 9)
    if link in BRIDGES:
        body = union(body, rrect_mask(img, BRIDGES[link], 3))
    drop_shadow(img, body, 1.0, 1.5, 0.9, 0.5)
    glossy(img, body, COLOURS[colour], bounds=(3, 3, 29, 29))
    mark = mark_mask(img, colour, 16, 16.5, 4.6)
    fill(img, grow(mark, 1.0), shade(COLOURS[colour], -0.45), 0.8)
    fill(img, mark, shade(COLOURS[colour], 0.75))
    return img


def sparkles(img, n, radius, size, colour, seed, opacity=1.0):
    rng = random.Random(seed)
    for i in range(n):
        a = 2 * math.pi * i / n + rng.uniform(-0.3, 0.3)
        cx, cy = 16 + math.cos(a) * radius, 16 + math.sin(a) * radius
        s = size * rng.uniform(0.7, 1.2)
        star = poly_mask(img, [(cx, cy - s), (cx + s * 0.3, cy - s * 0.3), (cx + s, cy), (cx + s * 0.3, cy + s * 0.3),
                               (cx, cy + s), (cx - s * 0.3, cy + s * 0.3), (cx - s, cy), (cx - s * 0.3, cy - s * 0.3)])
        fill(img, blur(star, 0.6), colour, 0.6 * opacity)
        fill(img, star, WHITE, opacity)


def transformed(src, scale, opacity=1.0, dy=0.0):
    """The 4x cell picture scaled about its centre, faded and moved."""
    w, h = src.size
    out = Image.new("RGBA", src.size, (0, 0, 0, 0))
    if scale > 0.01:
        sw, sh = max(1, int(w * scale)), max(1, int(h * scale))
        small = src.resize((sw, sh), Image.Resampling.BILINEAR)
        out.paste(small, ((w - sw) // 2, (h - sh) // 2 + S(dy)))
    if opacity < 1.0:
        a = out.getchannel("A").point(lambda v: int(v * opacity))
        out.putalpha(a)
    return out


def brighten(src, k):
    """Lightens a 4x picture towards white, alpha kept."""
    flat = Image.new("RGBA", src.size, (255, 255, 255, 255))
    mixed = Image.blend(src, flat, k)
    mixed.putalpha(src.getchannel("A"))
    return mixed


def vanish_steps(src, colour, seed):
    """Six steps of a vanishing cell: a flash, then shrinking into sparkles."""
    frames = []
    for step in range(6):
        if step == 0:
            img = brighten(src, 0.35)
        elif step == 1:
            img = brighten(transformed(src, 1.08), 0.7)
        else:
            k = (step - 1) / 4.0
            img = transformed(brighten(src, 0.3), 1.0 - 0.85 * k, 1.0 - 0.6 * k)
            sparkles(img, 5, 6 + 9 * k, 3.2 - 1.2 * k, COLOURS[colour], seed + step, 1.0 - 0.55 * (k ** 2))
        frames.append(img)
    return frames


# --- creatures --------------------------------------------------------------------------------

def creature(img, colour, ox, oy, k, eyes="open", mouth="smile", dy=0.0, squash=0.0, arms=None, feet=False,
             opacity=1.0):
    """A round creature of one colour, designed in a 32-unit box placed at (ox, oy), scaled by k.

    eyes: open, half, closed, happy, wide, shut; mouth: smile, grin, o, wobble, laugh.
    arms: None, "down", "up", "wave" (characters only)."""
    base = COLOURS[colour]
    P = lambda x, y: (ox + x * k, oy + (y + dy) * k)  # noqa: E731
    B = lambda x0, y0, x1, y1: (*P(x0, y0), *P(x1, y1))  # noqa: E731
    sq = squash
    body = rrect_mask(img, B(4 - sq, 8 + sq, 28 + sq, 30), 10 * k)
    # ears, leaves or antenna, in the colour's mark shape
    if colour == 0:
        extra = union(ellipse_mask(img, B(5, 4 + sq, 13, 12 + sq)), ellipse_mask(img, B(19, 4 + sq, 27, 12 + sq)))
    elif colour == 1:
        extra = union(poly_mask(img, [P(6, 13 + sq), P(8, 2 + sq), P(15, 10 + sq)]),
                      poly_mask(img, [P(26, 13 + sq), P(24, 2 + sq), P(17, 10 + sq)]))
    else:
        stalk = rrect_mask(img, B(15.2, 3 + sq, 16.8, 10 + sq), 0.8 * k)
        extra = union(stalk, mark_mask(img, 2, P(16, 0)[0], P(16, 3.2 + sq)[1], 3.0 * k))
    limbs = new_mask(img)
    if feet:
        limbs = union(limbs, ellipse_mask(img, B(7, 27, 14, 32)), ellipse_mask(img, B(18, 27, 25, 32)))
    if arms == "down":
        limbs = union(limbs, ellipse_mask(img, B(1, 17, 7, 25)), ellipse_mask(img, B(25, 17, 31, 25)))
    elif arms == "up":
        limbs = union(limbs, ellipse_mask(img, B(0, 9, 6, 17)), ellipse_mask(img, B(26, 9, 32, 17)))
    elif arms == "wave":
        limbs = union(limbs, ellipse_mask(img, B(1, 17, 7, 25)), ellipse_mask(img, B(26, 8, 32, 16)))
    whole = union(body, extra, limbs)
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    drop_shadow(layer, whole, 1.0 * k, 1.5 * k, 1.0 * k, 0.45)
    glossy(layer, union(extra, limbs), shade(base, -0.12), rim=0.5, gloss=0.3)
    glossy(layer, body, base, bounds=B(4 - sq, 8 + sq, 28 + sq, 30))
    belly = intersect(mark_mask(img, colour, *P(16, 26.3), 2.2 * k), body)
    fill(layer, belly, shade(base, 0.55), 0.9)
    _face(layer, base, P, B, k, eyes, mouth, sq)
    if opacity < 1.0:
        layer.putalpha(layer.getchannel("A").point(lambda v: int(v * opacity)))
    img.alpha_composite(layer)


def _face(img, base, P, B, k, eyes, mouth, sq):
    ey = 16.5 + sq * 0.5
    for ex in (11.5, 20.5):
        if eyes in ("open", "wide", "half"):
            r = 3.4 if eyes == "wide" else 3.0
            white = ellipse_mask(img, B(ex - r, ey - r * 1.15, ex + r, ey + r * 1.15))
            fill(img, grow(white, 0.4 * k), shade(base, -0.55))
            fill(img, white, WHITE)
            pr = 1.5 if eyes != "wide" else 1.2
            pupil = ellipse_mask(img, B(ex + 0.3 - pr, ey + 0.2 - pr * 1.2, ex + 0.3 + pr, ey + 0.2 + pr * 1.2))
            fill(img, pupil, INK)
            fill(img, ellipse_mask(img, B(ex + 0.6, ey - 1.4, ex + 1.5, ey - 0.5)), WHITE)
            if eyes == "half":
                lid = intersect(white, poly_mask(img, [P(ex - 4, ey - 5), P(ex + 4, ey - 5), P(ex + 4, ey + 0.2),
                                                      P(ex - 4, ey + 0.2)]))
                fill(img, lid, shade(base, -0.15))
                fill(img, subtract(grow(lid, 0.3 * k), grow(grow(lid, 0.3 * k), -0.6 * k)), shade(base, -0.6))
        else:
            m = new_mask(img)
            d = ImageDraw.Draw(m)
            w = max(2, S(0.9 * k))
            if eyes == "closed":
                d.arc([S(v) for v in B(ex - 3, ey - 2, ex + 3, ey + 2.5)], 20, 160, fill=255, width=w)
            elif eyes == "happy":
                d.arc([S(v) for v in B(ex - 3, ey - 1.5, ex + 3, ey + 3.5)], 200, 340, fill=255, width=w)
            else:  # shut tight: a small x
                d.line([S(v) for v in B(ex - 2.2, ey - 2, ex + 2.2, ey + 2)], fill=255, width=w)
                d.line([S(v) for v in B(ex - 2.2, ey + 2, ex + 2.2, ey - 2)], fill=255, width=w)
            fill(img, m, INK)
    # cheeks
    for cx in (8.2, 23.8):
        fill(img, blur(ellipse_mask(img, B(cx - 2, 20.2 + sq, cx + 2, 22.6 + sq)), 0.5 * k), (255, 140, 150), 0.55)
    my = 22.5 + sq * 0.5
    m = new_mask(img)
    d = ImageDraw.Draw(m)
    w = max(2, S(0.8 * k))
    if mouth == "smile":
        d.arc([S(v) for v in B(13.5, my - 2.5, 18.5, my + 1.5)], 20, 160, fill=255, width=w)
        fill(img, m, INK)
    elif mouth == "o":
        fill(img, ellipse_mask(img, B(14.3, my - 1.2, 17.7, my + 2.6)), INK)
    elif mouth == "wobble":
        d.line([S(v) for v in (*P(13, my + 1), *P(14.7, my), *P(16.3, my + 1), *P(18, my), *P(19, my + 1))],
               fill=255, width=w, joint="curve")
        fill(img, m, INK)
    else:  # grin or laugh: an open D with teeth
        tall = 4.5 if mouth == "laugh" else 3.6
        mouth_m = intersect(ellipse_mask(img, B(11.5, my - 3.2, 20.5, my + tall)),
                            poly_mask(img, [P(10, my - 0.6), P(22, my - 0.6), P(22, my + 6), P(10, my + 6)]))
        fill(img, mouth_m, INK)
        teeth = intersect(mouth_m, poly_mask(img, [P(10, my - 1), P(22, my - 1), P(22, my + 0.9), P(10, my + 0.9)]))
        fill(img, teeth, WHITE)
        tongue = intersect(mouth_m, ellipse_mask(img, B(13.5, my + tall - 2, 18.5, my + tall + 2)))
        fill(img, tongue, (240, 110, 120))


def target_cell(colour, eyes="open", mouth="smile", dy=0.0):
    img = canvas(L.CELL, L.CELL)
    creature(img, colour, 0, 0, 1.0, eyes, mouth, dy)
    return img


def piece_sheet(colour):
    """6 x 6 cells of 32 x 32: joins, their vanishing, target blink, its vanishing, grin, its vanishing."""
    sheet = Image.new("RGBA", (6 * L.CELL, 6 * L.CELL), (0, 0, 0, 0))

    def put(img, col, row):
        sheet.alpha_composite(downsample(img), (col * L.CELL, row * L.CELL))

    for link in range(5):
        put(piece(colour, link), link, 0)
    put(piece(colour, 4), 5, 0)
    for i, img in enumerate(vanish_steps(piece(colour, 4), colour, 100 + colour * 10)):
        put(img, i, 1)
    for i, eyes in enumerate(["open", "half", "closed", "half"]):
        put(target_cell(colour, eyes), i, 2)
    for i, img in enumerate(vanish_steps(target_cell(colour, "wide", "o"), colour, 200 + colour * 10)):
        put(img, i, 3)
    for i, (eyes, dy) in enumerate([("happy", 0.0), ("happy", -1.0), ("shut", -1.5), ("happy", -0.5)]):
        put(target_cell(colour, eyes, "grin", dy), i, 4)
    for i, img in enumerate(vanish_steps(target_cell(colour, "happy", "grin"), colour, 300 + colour * 10)):
        put(img, i, 5)
    return sheet


# --- the three characters beside the board ----------------------------------------------------

def character_sheet(colour):
    """12 x 4 cells of 64 x 64: idle 6, hit 12, gone 7, laughing 6."""
    cw, ch = L.CHAR_CELL
    sheet = Image.new("RGBA", (12 * cw, 4 * ch), (0, 0, 0, 0))
    k = 1.7
    ox, oy = (cw - 32 * k) / 2, ch - 32 * k - 1

    def cell(**kw):
        img = canvas(cw, ch)
        creature(img, colour, kw.pop("x", ox), oy, k, feet=True, **kw)
        return img

    def put(img, col, row):
        sheet.alpha_composite(downsample(img), (col * cw, row * ch))

    for f in range(6):                          # idle: breathing, a blink on frame 3
        bob = [0, -0.4, -0.8, -1.0, -0.8, -0.4][f]
        put(cell(eyes="closed" if f == 3 else "open", dy=bob, squash=-bob * 0.3, arms="down"), f, 0)
    for f in range(12):                         # hit: a startled jump and shake, then calm
        if f < 8:
            shake = [0, -1.2, 1.2, -1.0, 1.0, -0.6, 0.6, 0][f]
            put(cell(eyes="wide", mouth="o", dy=-[1.5, 2.5, 2.0, 1.5, 1.2, 0.8, 0.5, 0.2][f], arms="up",
                     x=ox + shake * k), f, 1)
        else:
            put(cell(eyes="half" if f < 10 else "open", mouth="wobble", arms="down"), f, 1)
    for f in range(7):                          # gone: waves goodbye and fades into sparkles
        img = cell(eyes="happy", mouth="smile", arms="wave", dy=-0.3 * f)
        if f >= 3:
            t = (f - 2) / 4.0
            img = transformed(img, 1.0 - 0.7 * t, 1.0 - 0.8 * t)
            _character_sparkles(img, colour, f, t)
        put(img, f, 2)
    for f in range(6):                          # laughing at the player's game over
        bounce = [0, -1.5, -2.5, -1.5, 0, -0.8][f]
        put(cell(eyes="happy", mouth="laugh", dy=bounce, squash=0.6 if bounce == 0 else 0,
                 arms="up" if f % 2 else "down"), f, 3)
    return sheet


def _character_sparkles(img, colour, f, t):
    rng = random.Random(500 + colour * 20 + f)
    for i in range(7):
        a = 2 * math.pi * i / 7 + rng.uniform(-0.3, 0.3)
        r = 10 + 18 * t
        cx, cy = 32 + math.cos(a) * r, 36 + math.sin(a) * r
        s = 4 * (1.1 - t * 0.6)
        star = poly_mask(img, [(cx, cy - s), (cx + s * 0.3, cy - s * 0.3), (cx + s, cy), (cx + s * 0.3, cy + s * 0.3),
                               (cx, cy + s), (cx - s * 0.3, cy + s * 0.3), (cx - s, cy), (cx - s * 0.3, cy - s * 0.3)])
        fill(img, blur(star, 0.8), COLOURS[colour], 0.6)
        fill(img, star, WHITE, 1.0 - 0.5 * t)


# --- the kestrel that hands out the next pair -------------------------------------------------

RUFOUS = (214, 118, 52)
CAP = (112, 136, 178)
CREAM = (252, 238, 210)
BEAK = (250, 196, 60)


def _wing_points(shoulder, side, angle, t0, length, width):
    a = math.radians(angle)
    upper, lower = [], []
    for i in range(25):
        t = t0 + (1 - t0) * i / 24.0
        x = -length * t
        upper.append((x, -width * 0.5 * math.sin(math.pi * min(1.0, t * 0.95 + 0.05)) ** 0.7))
        lower.append((x, width * 0.5 * math.sin(math.pi * min(1.0, t * 0.95 + 0.05)) ** 0.9 + 3.0 * t))
    out = []
    for x, y in upper + lower[::-1]:
        rx, ry = x * math.cos(a) - y * math.sin(a), x * math.sin(a) + y * math.cos(a)
        out.append((shoulder[0] + rx if side < 0 else shoulder[0] - rx, shoulder[1] + ry))
    return out


def _wing(img, shoulder, side, angle, length=30.0, width=15.0):
    """A wing leaving the shoulder to the left (side -1) or right (side 1), its tip raised by angle degrees;
    returns the wing and its dark tip."""
    wing = poly_mask(img, _wing_points(shoulder, side, angle, 0.0, length, width))
    tip = intersect(wing, poly_mask(img, _wing_points(shoulder, side, angle, 0.62, length * 1.1, width * 2)))
    return wing, tip


def bird(img, oy=0.0, wing_angle=10.0, eyes="open", mouth="smile", legs="hold", droop=False):
    """The kestrel in a 4x cell canvas of the figure's cell size."""
    cx = L.ANGEL_CELL[0] / 2
    hy, by = 66 + oy, 88 + oy
    lw, lz = _wing(img, (cx - 16, by - 8), -1, wing_angle if not droop else -40)
    rw, rz = _wing(img, (cx + 16, by - 8), 1, wing_angle if not droop else -40)
    tail = poly_mask(img, [(cx - 6, by + 10), (cx + 6, by + 10), (cx + 10, by + 24), (cx - 10, by + 24)])
    body = ellipse_mask(img, (cx - 21, by - 18, cx + 21, by + 19))
    head = ellipse_mask(img, (cx - 17, hy - 16, cx + 17, hy + 16))
    feet = new_mask(img)
    if legs == "hold":      # talons round the sides of the pair below (x 16..80, y 96..128)
        for fx, d in ((18, -1), (78, 1)):
            leg = poly_mask(img, [(cx + d * 8, by + 8), (cx + d * 12, by + 8), (fx + d * 1, 100), (fx - d * 3, 100)])
            claw = rrect_mask(img, (fx - 3, 97, fx + 3, 110), 2.5)
            feet = union(feet, leg, claw)
    else:
        for fx in (cx - 8, cx + 8):
            feet = union(feet, rrect_mask(img, (fx - 2, by + 12, fx + 2, by + 22), 1.5),
                         ellipse_mask(img, (fx - 5, by + 19, fx + 5, by + 24)))
    drop_shadow(img, union(lw, rw, tail, body, head, feet), 1.5, 2.0, 1.5, 0.4)
    fill(img, feet, (230, 170, 40))
    fill(img, grow(feet, -0.6), BEAK)
    glossy(img, tail, shade(RUFOUS, -0.15), gloss=0.2)
    for w, z in ((lw, lz), (rw, rz)):
        glossy(img, w, RUFOUS, gloss=0.35)
        fill(img, intersect(grow(w, -0.8), z), (92, 66, 60), 0.9)
    glossy(img, body, RUFOUS, gloss=0.4)
    belly = intersect(ellipse_mask(img, (cx - 12, by - 10, cx + 12, by + 18)), body)
    fill(img, belly, CREAM)
    for sx, sy in ((-5, 0), (4, 3), (-2, 8), (6, 10), (-7, 12), (1, 14)):
        fill(img, ellipse_mask(img, (cx + sx - 1.3, by + sy - 1.6, cx + sx + 1.3, by + sy + 1.6)), (120, 70, 50), 0.8)
    glossy(img, head, CREAM, gloss=0.5)
    cap = intersect(head, ellipse_mask(img, (cx - 18, hy - 22, cx + 18, hy + 2)))
    fill(img, cap, CAP)
    fill(img, intersect(blur(ellipse_mask(img, (cx - 10, hy - 15, cx + 2, hy - 9)), 0.8), cap), (255, 255, 255), 0.35)
    for ex, d in ((cx - 7, -1), (cx + 7, 1)):
        stripe = poly_mask(img, [(ex - 1.6, hy + 1), (ex + 1.6, hy + 1), (ex + 1.0 * d + 1, hy + 11),
                                 (ex + 1.0 * d - 1.5, hy + 11)])
        fill(img, intersect(stripe, head), (60, 50, 60), 0.85)
        if eyes == "open":
            fill(img, ellipse_mask(img, (ex - 4.2, hy - 4.5, ex + 4.2, hy + 4.5)), (255, 220, 120))
            fill(img, ellipse_mask(img, (ex - 3.2, hy - 3.4, ex + 3.2, hy + 3.4)), INK)
            fill(img, ellipse_mask(img, (ex - 1.8, hy - 2.6, ex + 0.2, hy - 0.6)), (255, 255, 255))
        else:
            m = new_mask(img)
            dr = ImageDraw.Draw(m)
            if eyes == "happy":
                dr.arc([S(v) for v in (ex - 4, hy - 2, ex + 4, hy + 5)], 200, 340, fill=255, width=S(1.2))
            else:  # sad
                dr.arc([S(v) for v in (ex - 4, hy - 1, ex + 4, hy + 6)], 200 if d > 0 else 230, 310 if d > 0 else 340,
                       fill=255, width=S(1.2))
            fill(img, m, INK)
    beak = poly_mask(img, [(cx - 4, hy + 3), (cx + 4, hy + 3), (cx + 1.5, hy + 10), (cx, hy + 11)])
    fill(img, beak, (200, 140, 30))
    fill(img, grow(beak, -0.5), BEAK)
    if mouth == "open":
        fill(img, ellipse_mask(img, (cx - 2.5, hy + 6.5, cx + 2.5, hy + 10)), (200, 80, 60))
    if eyes == "sad":
        fill(img, ellipse_mask(img, (cx + 9, hy + 4, cx + 12, hy + 9)), (120, 190, 255), 0.9)
    return img


def angel_sheet():
    """6 x 4 cells: idle 4, throw 2, cheer 5, game over 6."""
    cw, ch = L.ANGEL_CELL
    sheet = Image.new("RGBA", (6 * cw, 4 * ch), (0, 0, 0, 0))

    def put(img, col, row):
        sheet.alpha_composite(downsample(img), (col * cw, row * ch))

    for f, angle in enumerate([2, 10, 18, 10]):
        put(bird(canvas(cw, ch), 0, angle), f, 0)
    for f, angle in enumerate([45, 25]):
        put(bird(canvas(cw, ch), -2 + f, angle, mouth="open", legs="tuck"), f, 1)
    for f, (oy, angle) in enumerate([(0, 40), (-2.5, 60), (-4.5, 75), (-2.5, 60), (0, 40)]):
        put(bird(canvas(cw, ch), oy, angle, eyes="happy", mouth="open", legs="tuck"), f, 2)
    for f in range(6):
        put(bird(canvas(cw, ch), [0, 0.5, 1, 1.5, 1, 0.5][f], 0, eyes="sad", legs="tuck", droop=True), f, 3)
    return sheet
