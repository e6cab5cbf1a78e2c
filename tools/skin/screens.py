# SPDX-License-Identifier: MIT
"""The large pictures: backgrounds, the title logo, the stage-selection panel, the overlay panels,
the help page and the loading window."""
import math
import random

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

import layout as L
import widgets as W
from creatures import COLOURS, bird, target_cell
from draw import (S, blur, canvas, downsample, ellipse_mask, fill, fill_image, grow, intersect, lerp, new_mask,
                  rrect_mask, shade, shift, subtract, text, text_mask, text_width, union, vgradient)


def _wrapped_blobs(w, h, seed, count, rmin, rmax, soft):
    """A mask of soft blobs on a torus of w x h, so that the picture tiles without a seam."""
    rng = random.Random(seed)
    big = Image.new("L", (w * 3, h * 3), 0)
    d = ImageDraw.Draw(big)
    for _ in range(count):
        x, y = rng.uniform(0, w), rng.uniform(0, h)
        r = rng.uniform(rmin, rmax)
        for ox in (0, w, 2 * w):
            for oy in (0, h, 2 * h):
                for j in range(5):   # a cloud: a few overlapping puffs
                    px = x + ox + (j - 2) * r * 0.55
                    py = y + oy + (0.25 if j % 2 else -0.1) * r
                    pr = r * (0.55 + 0.45 * math.cos((j - 2) * 0.6))
                    d.ellipse([px - pr, py - pr * 0.7, px + pr, py + pr * 0.7], fill=255)
    big = big.filter(ImageFilter.GaussianBlur(soft))
    return big.crop((w, h, 2 * w, 2 * h))


def title_background():
    """720 x 540, seamless in both directions: soft diagonal bands, clouds and little marks."""
    w, h = L.SCREEN_W, L.SCREEN_H
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float64)
    # bands that repeat exactly every 720 and 540 pixels
    t = 0.5 + 0.25 * np.sin(2 * np.pi * (xx / w * 2 + yy / h * 3)) + 0.25 * np.sin(2 * np.pi * (yy / h * 1))
    c0, c1 = np.array([150, 205, 245.0]), np.array([200, 232, 252.0])
    arr = c0 + (c1 - c0) * t[:, :, None]
    clouds = np.asarray(_wrapped_blobs(w, h, 7, 9, 30, 55, 6), np.float64)[:, :, None] / 255.0
    arr = arr * (1 - clouds * 0.75) + 255 * clouds * 0.75
    img = Image.fromarray(arr.round().astype(np.uint8), "RGB").convert("RGBA")
    # scattered tiny creature marks in the three shapes, wrapped at the edges
    rng = random.Random(11)
    marks = Image.new("RGBA", (w * 3, h * 3), (0, 0, 0, 0))
    d = ImageDraw.Draw(marks)
    for i in range(36):
        x, y, kind = rng.uniform(0, w), rng.uniform(0, h), i % 3
        r = rng.uniform(4, 7)
        colour = tuple(COLOURS[kind]) + (70,)
        for ox in (0, w, 2 * w):
            for oy in (0, h, 2 * h):
                cx, cy = x + ox, y + oy
                if kind == 0:
                    d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=colour)
                elif kind == 1:
                    d.polygon([(cx, cy - r * 1.2), (cx + r, cy + r * 0.8), (cx - r, cy + r * 0.8)], fill=colour)
                else:
                    d.polygon([(cx, cy - r * 1.2), (cx + r, cy), (cx, cy + r * 1.2), (cx - r, cy)], fill=colour)
    img.alpha_composite(marks.crop((w, h, 2 * w, 2 * h)))
    return img.convert("RGB")


def _sky(img, w, h):
    sky = vgradient(img.size, (120, 186, 240), (214, 238, 250), 0, S(h * 0.75))
    fill_image(img, Image.new("L", img.size, 255), sky)
    hills = new_mask(img)
    d = ImageDraw.Draw(hills)
    pts = [(S(x), S(h - 70 - 22 * math.sin(x / 90.0) - 12 * math.sin(x / 37.0 + 1))) for x in range(0, w + 4, 4)]
    d.polygon(pts + [(S(w), S(h)), (0, S(h))], fill=255)
    fill_image(img, hills, vgradient(img.size, (150, 214, 120), (96, 170, 86), S(h - 100), S(h)))
    clouds = _wrapped_blobs(w, h, 3, 6, 24, 40, 5).resize(img.size, Image.Resampling.BILINEAR)
    fill(img, intersect(clouds, rrect_mask(img, (0, 0, w, h * 0.7), 0)), (255, 255, 255), 0.7)


def play_background():
    """720 x 540: sky and hills, the well, and the painted labels and frames of the play screen."""
    w, h = L.SCREEN_W, L.SCREEN_H
    img = canvas(w, h)
    _sky(img, w, h)
    # the well
    x0, y0, x1, y1 = L.BOARD
    frame = rrect_mask(img, (x0 - 8, y0 - 8, x1 + 8, y1 + 8), 12)
    fill(img, blur(shift(frame, 3, 4), 3), (20, 20, 40), 0.45)
    fill_image(img, frame, vgradient(img.size, (250, 190, 110), (200, 120, 60), S(y0 - 8), S(y1 + 8)))
    fill(img, subtract(frame, grow(frame, -1.5)), (140, 80, 40))
    well = rrect_mask(img, (x0, y0, x1, y1), 3)
    fill_image(img, well, vgradient(img.size, (44, 58, 96), (30, 36, 66), S(y0), S(y1)))
    grid = new_mask(img)
    d = ImageDraw.Draw(grid)
    for c in range(1, 8):
        d.line([S(x0 + 32 * c), S(y0), S(x0 + 32 * c), S(y1)], fill=255, width=2)
    for r in range(1, 13):
        d.line([S(x0), S(y0 + 32 * r), S(x1), S(y0 + 32 * r)], fill=255, width=2)
    fill(img, intersect(grid, well), (255, 255, 255), 0.08)
    fill(img, intersect(blur(rrect_mask(img, (x0 - 6, y0 - 6, x1 + 6, y0 + 10), 4), 3), well), (0, 0, 0), 0.35)
    # the left column
    text(img, (114, 40), "Kestrel", 30, (255, 255, 255), anchor="mm", outline=(200, 100, 40), outline_px=2,
         shadow=0.4)
    W.hud_panel(img, L.SCORE_PANEL)
    sx, sy = L.SHOW_SCORE
    for dy, word in ((-38, "BEST"), (0, "SCORE"), (38, "LEVEL")):
        text(img, (sx, sy + dy - 2), word, 11, W.HUD_LABEL, anchor="ls")
    W.hud_panel(img, L.SOUND_PANEL)
    for (cx, cy), (vx, vy), word in zip(L.CHECK, L.VOLUME, ("Music", "Sound")):
        text(img, (cx + 30, cy + 12.5), word, 14, W.HUD_INK, anchor="lm")
        trough = rrect_mask(img, (vx - 2, vy - 1, vx + L.VOLUME_SIZE[0] + 2, vy + L.VOLUME_SIZE[1] + 1), 4)
        fill(img, trough, (120, 90, 70))
        fill(img, grow(trough, -1.2), (226, 214, 196))
    W.hud_panel(img, L.BUTTON_PANEL)
    # Under the buttons, where button 4 lights (it opens the skin's web address, and this skin
    # names none): the keys no button offers.
    lx0, ly0, lx1, ly1 = L.WEB_LINK
    hint = "F11 full screen \u00b7 F10 your files"
    size = 12
    while size > 9 and text_width(hint, size) > lx1 - lx0 - 16:
        size -= 1
    text(img, ((lx0 + lx1) / 2, (ly0 + ly1) / 2), hint, size, W.HUD_INK, anchor="mm")
    # the right column
    cloud = _cloud_mask(img, (494, 8, 712, 168))
    fill(img, blur(cloud, 2), (255, 255, 255), 0.55)
    for rect, word in ((L.STAGE_PANEL, "STAGE"), (L.TIME_PANEL, "TIME"), (L.TARGETS_PANEL, "LEFT")):
        W.hud_panel(img, rect)
        text(img, (rect[0] + 14, (rect[1] + rect[3]) / 2), word, 15, W.HUD_LABEL, anchor="lm")
    tx, ty = L.TIME_MIN[0] + 40, L.TIME_MIN[1]
    for dy in (7, 17):
        fill(img, ellipse_mask(img, (tx + 2, ty + dy - 2, tx + 6, ty + dy + 2)), W.HUD_INK)
    icon = target_cell(1)
    icon = icon.resize((S(24), S(24)), Image.Resampling.BILINEAR)
    img.alpha_composite(icon, (S(560), S(335)))
    # a meadow for the three characters
    base = ellipse_mask(img, (520, 430, 716, 470))
    fill(img, blur(base, 3), (60, 120, 50), 0.35)
    return downsample(img).convert("RGB")


def _cloud_mask(img, rect):
    x0, y0, x1, y1 = rect
    m = new_mask(img)
    w, h = x1 - x0, y1 - y0
    for fx, fy, fr in ((0.25, 0.6, 0.28), (0.5, 0.45, 0.36), (0.75, 0.6, 0.28), (0.5, 0.72, 0.3)):
        cx, cy, r = x0 + fx * w, y0 + fy * h, fr * min(w, h) * 1.2
        m = union(m, ellipse_mask(img, (cx - r * 1.2, cy - r * 0.8, cx + r * 1.2, cy + r * 0.8)))
    return m


def title_logo():
    """The word mark with a kestrel feather; drawn at (80, 64) through its mask."""
    w, h = 560, 180
    img = canvas(w, h)
    m = text_mask(img, (w / 2 + 20, 92), "Kestrel", 104, anchor="mm")
    fill(img, blur(shift(grow(m, 5), 4, 6), 4), (30, 20, 50), 0.45)
    fill(img, grow(m, 5), (120, 56, 24))
    fill(img, grow(m, 2.5), (255, 250, 235))
    fill_image(img, m, vgradient(img.size, (255, 214, 110), (232, 110, 50), S(40), S(140)))
    hl = intersect(m, rrect_mask(img, (0, 40, w, 86), 0))
    fill(img, hl, (255, 255, 255), 0.35)
    # three little creatures sitting on the letters
    for i, (x, y) in enumerate(((118, 26), (300, 24), (470, 30))):
        c = target_cell(i, eyes="open", mouth="grin" if i == 1 else "smile")
        img.alpha_composite(c.resize((S(44), S(44)), Image.Resampling.BILINEAR), (S(x), S(y - 20)))
    text(img, (w / 2 + 20, 160), "a falling-pair puzzle", 18, (255, 255, 255), anchor="mm",
         outline=(120, 56, 24), outline_px=2)
    return downsample(img)


def select_panel():
    """The stage-selection panel, drawn at (0, 0) through its mask."""
    x0, y0, x1, y1 = L.SELECT_PANEL
    w, h = x1 + 4, y1 + 8
    img = canvas(w, h)
    W.panel(img, L.SELECT_PANEL, radius=18)
    text(img, ((x0 + x1) / 2, y0 + 22), "Choose your game", 20, (170, 96, 46), anchor="mm")
    text(img, (118, 111), "STAGE", 16, W.INK, anchor="lm")
    text(img, (118, 190), "LEVEL", 16, W.INK, anchor="lm")
    text(img, (118, 266), "MUSIC", 16, W.INK, anchor="lm")
    bx0, by0, bx1, by1 = L.STAGE_BAR
    bar = rrect_mask(img, (bx0 - 2, by0 - 3, bx1 + 6, by1 + 3), 6)
    fill(img, bar, (120, 84, 60))
    fill(img, grow(bar, -1.2), (70, 52, 44))
    for i in range(20):
        sx = L.STAGE_SLOT_X + L.STAGE_SLOT_STEP * i
        colour = lerp((120, 210, 90), (240, 90, 70), i / 19.0)
        slot = rrect_mask(img, (sx, L.STAGE_SLOT_Y, sx + L.STAGE_SLOT_W, L.STAGE_SLOT_Y + L.STAGE_SLOT_H), 3)
        # a gentle gradient: a locked slot, darkened by half in the game, keeps no bright top
        fill_image(img, slot, vgradient(img.size, shade(colour, 0.15), shade(colour, -0.2), S(L.STAGE_SLOT_Y),
                                        S(L.STAGE_SLOT_Y + L.STAGE_SLOT_H)))
    for j, word in enumerate(("Easy", "Normal", "Hard")):
        text(img, (L.DIFF_ICON_X + L.DIFF_ICON_STEP * j + 18, L.DIFF_ICON_Y + 44), word, 11, W.INK, anchor="mm")
    return downsample(img)


def message_panel(title, subtitle, size, colour=(255, 248, 232), title_colour=(232, 110, 50)):
    """A panel with a large title and under it one or two lines (`subtitle` split at "\\n")."""
    w, h = size
    img = canvas(w, h)
    W.panel(img, (4, 4, w - 8, h - 8), radius=20, colour=colour, shadow=0.5)
    lines = subtitle.split("\n") if subtitle else []
    title_y = h * (0.40 if len(lines) < 2 else 0.34)
    text(img, ((w - 4) / 2, title_y), title, 34, (255, 255, 255), anchor="mm", outline=title_colour,
         outline_px=2.5, shadow=0.3)
    size = 14 if len(lines) == 1 else 13
    # clear of the rounded corners by 20 pixels a side
    while size > 11 and any(text_width(line, size) > w - 12 - 40 for line in lines):
        size -= 1
    for i, line in enumerate(lines):
        y = h * 0.74 if len(lines) == 1 else h * 0.64 + 17 * i
        text(img, ((w - 4) / 2, y), line, size, W.INK, anchor="mm")
    return downsample(img)


# Every panel names what the mouse, the keys and a pad do: Escape and Start resume from the
# pause panel wherever its focus rests; Enter and Start press the focused button, and the
# game-over panel's focus starts on New game.
def pause_panel():
    return message_panel("Paused", "Click, Esc or Start to play on", (260, 116))


def game_over_panel():
    return message_panel("Game over", "Click New game to try again,\nor press Enter or Start", (292, 124),
                         title_colour=(150, 60, 120))


def stage_clear_panel():
    return message_panel("Stage clear!", "Click, Enter or Start to go on", (300, 124), title_colour=(60, 150, 60))


def confirm_panel(question):
    """Centred; the yes and no buttons sit on its lower part. The game draws the buttons
    before the panel, so the panel is cut open in the buttons' own shape (normal and lit
    looks together) and they show through it."""
    w, h = L.CONFIRM_SIZE
    img = canvas(w, h)
    W.panel(img, (2, 2, w - 2, h - 4), radius=20, shadow=0.5)
    text(img, (w / 2, 44), question, 16, W.INK, anchor="mm")
    text(img, (w / 2, 74), "The game in play will end.", 12, (150, 100, 70), anchor="mm")
    panel = downsample(img)
    bw, bh = L.BUTTON_SIZE
    button_alpha = np.maximum(np.asarray(W.button(bw, bh, "Yes", False).getchannel("A"), dtype=np.float64),
                              np.asarray(W.button(bw, bh, "Yes", True).getchannel("A"), dtype=np.float64)) / 255.0
    alpha = np.asarray(panel.getchannel("A"), dtype=np.float64) / 255.0
    for x, y in L.CONFIRM_BUTTON_OFFSETS:
        alpha[y:y + bh, x:x + bw] *= 1.0 - button_alpha
    panel.putalpha(Image.fromarray((alpha * 255).round().astype(np.uint8), "L"))
    return panel


# The help page: what each hand does in play, in menus and anywhere. Keys are drawn as key caps.
HELP_INTRO = [
    "Pairs drop into the well. Line up four or more of one colour and they vanish.",
    None,   # the three targets
    "Only targets score. Clear them all to win; chains and later stages score more.",
]
# The play table names the actions only: the game writes the key and the pad button bound to
# each into its wells, in its own font.
HELP_PLAY = ("Move left", "Move right", "Rotate", "Drop a row", "Hurry", "Pause", "Hide")
HELP_MOUSE = "Mouse: point to move, right click rotates, hold left hurries"
HELP_MENUS = [         # action, keys, pad
    ("Choose", ["\u2191", "\u2193", "\u2190", "\u2192"], "d-pad"),
    ("Press", ["Enter", "Space"], ("south", "south, Start")),
    ("Back, no", ["Esc"], ("east", "east, Back")),
]
HELP_MENUS_NOTE = "Paused: arrows reach the sound controls too."
HELP_ANYWHERE = [      # action, keys joined by "or", what it does
    ("Full screen", ["F11", "Alt+Enter"], None),
    ("Your files", ["F10"], "settings, high scores"),
]
HELP_CLOSE = "Click, Enter or Start to close"

HELP_TITLE = (232, 110, 50)
HELP_HEAD = (170, 96, 46)
HELP_RULE = (214, 160, 110)
HELP_BODY = (70, 50, 40)
HELP_NONE = (190, 160, 130)
HELP_CLOSE_INK = (60, 120, 60)
# Where the columns of the tables start.
HELP_ACTION_X, HELP_KEYS_X = 12, 84
HELP_MENU_KEYS_X, HELP_MENU_PAD_X = 72, 164
HELP_ROW = 14
# The play table's wells: the text's left edge and width of the key and the pad columns, each
# wide enough for "Left arrow" in the game's font, the rows HELP_WELL_ROW apart; the text's top
# is its font cell's, whose ink lies in rows 4..19.
HELP_WELL_KEY, HELP_WELL_PAD = (69, 86), (162, 86)
HELP_WELL_ROW = 16
HELP_WELL_INSET = 2
HELP_WELL_ACTION_X = 9


def _keycap(img, x, y, label):
    """A key drawn as a little raised cap with its name, its left edge at x and centred on y;
    returns where the next one may start."""
    size = 9 if len(label) > 1 else 11    # the arrows are single, small glyphs
    w = max(14.0, text_width(label, size) + 8)
    cap = rrect_mask(img, (x, y - 6, x + w, y + 6), 3)
    fill(img, shift(cap, 0, 1), (150, 110, 80))
    fill(img, cap, (214, 170, 128))
    fill(img, rrect_mask(img, (x + 1, y - 5, x + w - 1, y + 5), 2), (255, 253, 246))
    text(img, (x + w / 2, y + 0.5), label, size, W.INK, anchor="mm")
    return x + w + 3


def _keycaps(img, x, y, labels, joiner=None):
    for i, label in enumerate(labels):
        if i and joiner:
            text(img, (x, y + 0.5), joiner, 10, HELP_BODY, anchor="lm", bold=False)
            x += text_width(joiner, 10, bold=False) + 3
        x = _keycap(img, x, y, label)
    return x


def _face_buttons(img, x, y, which):
    """The pad's four face buttons as a diamond of dots, the one meant filled; returns its width."""
    for name, dx, dy in (("north", 0, -3.6), ("west", -3.6, 0), ("east", 3.6, 0), ("south", 0, 3.6)):
        cx, cy = x + 5 + dx, y + 0.5 + dy
        if name == which:
            fill(img, ellipse_mask(img, (cx - 2.5, cy - 2.5, cx + 2.5, cy + 2.5)), W.INK)
        else:
            ring = subtract(ellipse_mask(img, (cx - 2.1, cy - 2.1, cx + 2.1, cy + 2.1)),
                            ellipse_mask(img, (cx - 1.3, cy - 1.3, cx + 1.3, cy + 1.3)))
            fill(img, ring, HELP_NONE)
    return 14


def _help_cell(img, x, y, value):
    if isinstance(value, tuple):
        x += _face_buttons(img, x, y, value[0])
        value = value[1]
    if value is None:
        text(img, (x + 6, y), "\u2013", 10, HELP_NONE, anchor="mm", bold=False)
    else:
        text(img, (x, y + 0.5), value, 10, HELP_BODY, anchor="lm", bold=False)


def _help_heading(img, w, y, title, columns=()):
    text(img, (HELP_ACTION_X, y + 8), title, 13, HELP_HEAD, anchor="lm")
    for x, name in columns:
        text(img, (x, y + 9), name, 9, HELP_HEAD, anchor="lm")
    fill(img, rrect_mask(img, (HELP_ACTION_X, y + 16, w - 12, y + 17), 0), HELP_RULE)
    return y + 19


def _help_well(img, rect):
    """A light field the game writes a binding into."""
    x0, y0, x1, y1 = rect
    fill(img, rrect_mask(img, rect, 3), HELP_RULE)
    fill(img, rrect_mask(img, (x0 + 1, y0 + 1, x1 - 1, y1 - 1), 2), (255, 253, 246))


# Where help_page() put the play table's wells, for main.ini's [HelpPage].
HELP_LAYOUT = {}


def help_layout():
    if not HELP_LAYOUT:
        help_page()
    return dict(HELP_LAYOUT)


def help_page():
    """256 x 416, opaque, drawn over the well."""
    w, h = 256, 416
    img = canvas(w, h)
    fill_image(img, Image.new("L", img.size, 255), vgradient(img.size, (255, 250, 236), (250, 232, 200)))
    fill(img, subtract(rrect_mask(img, (0, 0, w, h), 0), rrect_mask(img, (3, 3, w - 3, h - 3), 8)), W.BORDER)
    text(img, (w / 2, 18), "How to play", 20, HELP_TITLE, anchor="mm")
    y = 30
    for line in HELP_INTRO:
        if line is None:
            for i in range(3):
                target = target_cell(i).resize((S(26), S(26)), Image.Resampling.BILINEAR)
                img.alpha_composite(target, (S(63 + i * 50), S(y - 1)))
            y += 25
        else:
            y = _paragraph(img, line, HELP_ACTION_X, y, w - 2 * HELP_ACTION_X, 11, line_height=13)
    y = _help_heading(img, w, y, "In play", ((HELP_WELL_KEY[0], "KEYS"), (HELP_WELL_PAD[0], "PAD")))
    rows = []
    y -= 4     # the font cell's ink starts 4 rows down
    for action in HELP_PLAY:
        rows.append(y)
        text(img, (HELP_WELL_ACTION_X, y + 12), action, 10, W.INK, anchor="lm", condensed=True)
        for x, width in (HELP_WELL_KEY, HELP_WELL_PAD):
            _help_well(img, (x - HELP_WELL_INSET, y + 4, x + width + 1, y + 19))
        y += HELP_WELL_ROW
    text(img, (HELP_WELL_ACTION_X, y + 10), HELP_MOUSE, 9, HELP_BODY, anchor="lm", bold=False, condensed=True)
    y += 16
    HELP_LAYOUT.clear()
    HELP_LAYOUT.update({"KeyX": HELP_WELL_KEY[0], "KeyWidth": HELP_WELL_KEY[1], "PadX": HELP_WELL_PAD[0],
                        "PadWidth": HELP_WELL_PAD[1]})
    HELP_LAYOUT.update({f"Row{i}Y": row for i, row in enumerate(rows)})
    y = _help_heading(img, w, y + 2, "Menus and panels", ((HELP_MENU_PAD_X, "PAD"),))
    for action, keys, pad in HELP_MENUS:
        row = y + HELP_ROW / 2
        text(img, (HELP_ACTION_X, row), action, 11, W.INK, anchor="lm")
        _keycaps(img, HELP_MENU_KEYS_X, row, keys)
        _help_cell(img, HELP_MENU_PAD_X, row, pad)
        y += HELP_ROW
    y = _paragraph(img, HELP_MENUS_NOTE, HELP_ACTION_X, y, w - 2 * HELP_ACTION_X, 10)
    y = _help_heading(img, w, y, "Anywhere")
    for action, keys, what in HELP_ANYWHERE:
        row = y + HELP_ROW / 2
        text(img, (HELP_ACTION_X, row), action, 11, W.INK, anchor="lm")
        x = _keycaps(img, HELP_KEYS_X, row, keys, joiner="or")
        if what:
            _help_cell(img, x + 4, row, what)
        y += HELP_ROW
    text(img, (w / 2, h - 14), HELP_CLOSE, 12, HELP_CLOSE_INK, anchor="mm")
    return downsample(img).convert("RGB")


def _paragraph(img, s, x, y, width, size, line_height=14):
    words, line = s.split(), ""
    for word in words:
        trial = (line + " " + word).strip()
        if text_width(trial, size, bold=False) > width and line:
            text(img, (x, y + 7), line, size, (70, 50, 40), anchor="lm", bold=False)
            y += line_height
            line = word
        else:
            line = trial
    if line:
        text(img, (x, y + 7), line, size, (70, 50, 40), anchor="lm", bold=False)
        y += line_height
    return y + 4


def loading_picture():
    w, h = L.LOADING_SIZE
    img = canvas(w, h)
    fill_image(img, Image.new("L", img.size, 255), vgradient(img.size, (120, 186, 240), (214, 238, 250)))
    b = canvas(*L.ANGEL_CELL)
    bird(b, 0, 12)
    b = b.resize((S(58), S(82)), Image.Resampling.BILINEAR)
    img.alpha_composite(b, (S(71), S(-4)))
    text(img, (w / 2, 96), "Kestrel", 26, (255, 255, 255), anchor="mm", outline=(200, 100, 40), outline_px=2)
    text(img, (w / 2, 122), "Loading...", 12, (60, 80, 120), anchor="mm")
    fill(img, rrect_mask(img, (0, 138, w, h), 0), (50, 60, 90))
    return downsample(img).convert("RGB")


def progress_strip():
    w, h = L.PLAN_SIZE
    img = canvas(w, h)
    fill_image(img, Image.new("L", img.size, 255), vgradient(img.size, (255, 230, 120), (240, 130, 40)))
    fill(img, rrect_mask(img, (0, 1, w, 4), 0), (255, 255, 255), 0.4)
    return downsample(img).convert("RGB")
