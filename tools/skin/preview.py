# SPDX-License-Identifier: MIT
"""The contact sheet: the title, the stage selection and two play screens composed from the
skin's own files at the game's fixed positions, so the layout can be seen before the game
draws it."""
import configparser
import os

import numpy as np
from PIL import Image, ImageDraw

import layout as L
from draw import font


class Skin:
    def __init__(self, root):
        self.root = root
        self.ini = configparser.ConfigParser(interpolation=None)
        self.ini.optionxform = str
        self.ini.read(os.path.join(root, "main.ini"))
        self.cache = {}

    def image(self, name):
        if name not in self.cache:
            self.cache[name] = np.asarray(Image.open(os.path.join(self.root, "images", name)).convert("RGB"),
                                          np.int32)
        return self.cache[name]

    def num(self, section, key):
        return int(self.ini[section][key])


class Screen:
    """The back buffer in 5-bit channels, as the game holds it."""

    def __init__(self):
        self.px = np.zeros((L.BUFFER_H, L.BUFFER_W, 3), np.int32)

    def _clip(self, x, y, w, h):
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(L.BUFFER_W, x + w), min(L.BUFFER_H, y + h)
        return x0, y0, x1, y1

    def opaque(self, pic, x, y):
        h, w = pic.shape[:2]
        x0, y0, x1, y1 = self._clip(x, y, w, h)
        if x1 > x0 and y1 > y0:
            self.px[y0:y1, x0:x1] = pic[y0 - y:y1 - y, x0 - x:x1 - x] >> 3

    def masked(self, pic, mask, x, y, src=None, level=32):
        """A masked draw as the game does it: d + (s - d) * (a * level / 32) / 32, a the mask's blue >> 3."""
        if src:
            sx, sy, w, h = src
            pic, mask = pic[sy:sy + h, sx:sx + w], mask[sy:sy + h, sx:sx + w]
        h, w = pic.shape[:2]
        x0, y0, x1, y1 = self._clip(x, y, w, h)
        if x1 <= x0 or y1 <= y0:
            return
        s = pic[y0 - y:y1 - y, x0 - x:x1 - x] >> 3
        a = (mask[y0 - y:y1 - y, x0 - x:x1 - x, 2:3] >> 3) * level // 32
        d = self.px[y0:y1, x0:x1]
        self.px[y0:y1, x0:x1] = d + (s - d) * a // 32

    def keyed(self, pic, x, y, width):
        part = pic[:, :width]
        h, w = part.shape[:2]
        x0, y0, x1, y1 = self._clip(x, y, w, h)
        region = part[y0 - y:y1 - y, x0 - x:x1 - x]
        key = np.all(region == (255, 0, 255), axis=2)
        self.px[y0:y1, x0:x1][~key] = region[~key] >> 3

    def darken(self, x, y, w, h):
        self.px[y:y + h, x:x + w] = self.px[y:y + h, x:x + w] // 2

    def picture(self):
        px = self.px[:L.SCREEN_H, :L.SCREEN_W]
        return Image.fromarray(((px << 3) | (px >> 2)).astype(np.uint8), "RGB")


def digits(scr, skin, stem, text, x, y, advance, rows):
    pic, mask = skin.image(stem + "0.bmp"), skin.image(stem + "1.bmp")
    gh, gw = pic.shape[0] // rows, pic.shape[1]
    for i, ch in enumerate(text):
        scr.masked(pic, mask, x + i * advance, y, (0, int(ch) * gh, gw, gh))


def buttons(scr, skin, section, lit=(), paused=False):
    for i in range(skin.num(section, "MaxButton") + 1):
        img = skin.num(section, f"Button{i}")
        x, y = skin.num(section, f"Button{i}_X"), skin.num(section, f"Button{i}_Y")
        if section == "GameButton" and i >= 5 and i not in lit and not (i == 9 and paused):
            continue
        stem = "butc" if i in lit else "but"
        mstem = "butcm" if i in lit else "butm"
        if img == 4 and section == "GameButton" and i not in lit:
            continue     # the web link's glow is invisible at rest
        scr.masked(skin.image(f"{stem}{img}.bmp" if img != 4 else "but4.bmp"),
                   skin.image(f"{mstem}{img}.bmp" if img != 4 else "butm4.bmp"), x, y)


def angel(scr, skin, x, y, frame, mode, next_pair=None):
    pic, mask = skin.image("angel0.bmp"), skin.image("angel1.bmp")
    cw, ch = pic.shape[1] // 6, pic.shape[0] // 4
    scr.masked(pic, mask, x, y, (frame * cw, mode * ch, cw, ch))
    if next_pair:
        for i, colour in enumerate(next_pair):
            piece(scr, skin, colour, 1 if i == 0 else 3, 0, x + 16 + 32 * i, y + 96)


def piece(scr, skin, colour, col, row, x, y, level=32):
    scr.masked(skin.image(f"s{colour}.bmp"), skin.image(f"s{colour}m.bmp"), x, y, (32 * col, 32 * row, 32, 32), level)


def title_screen(skin):
    scr = Screen()
    bk = skin.image("tit_bk.bmp")
    t = 300
    for dx in (t % 720, t % 720 - 720):
        for dy in (t % 540, t % 540 - 540):
            scr.opaque(bk, dx, dy)
    scr.masked(skin.image("tit_logo0.bmp"), skin.image("tit_logo1.bmp"), *L.TITLE_LOGO)
    angel(scr, skin, L.ANGEL_MENU[0] + 16, L.ANGEL_MENU[1] + 12, 1, 0)
    buttons(scr, skin, "TitleButton", lit=(0,))
    return scr


def select_screen(skin):
    scr = Screen()
    bk = skin.image("tit_bk.bmp")
    for dx in (120, -600):
        for dy in (80, -460):
            scr.opaque(bk, dx, dy)
    scr.masked(skin.image("selbk0.bmp"), skin.image("selbk1.bmp"), 0, 0)
    user_max, stage, diff, music = 7, 5, 1, 0
    for i in range(user_max, 20):
        scr.darken(L.STAGE_SLOT_X + L.STAGE_SLOT_STEP * i, L.STAGE_SLOT_Y, 8, L.STAGE_SLOT_H)
    scr.masked(skin.image("selpoint0.bmp"), skin.image("selpoint1.bmp"), L.SEL_POINT_X + 14 * stage, L.SEL_POINT_Y)
    digits(scr, skin, "stage", str(stage + 1), L.SEL_STAGE_DIGITS[0], L.SEL_STAGE_DIGITS[2], 26, 10)
    dpic, dmask = skin.image("slediff0.bmp"), skin.image("slediff1.bmp")
    for j in range(3):
        scr.masked(dpic, dmask, L.DIFF_ICON_X + L.DIFF_ICON_STEP * j, L.DIFF_ICON_Y, (0, 36 * j, 36, 36),
                   32 if j == diff else 16)
    for k in range(5):
        sheet = skin.image("selmus1.bmp" if k > user_max // 4 else "selmus0.bmp")
        scr.masked(sheet, skin.image("selmus2.bmp"), L.MUSIC_X + L.MUSIC_STEP * k, L.MUSIC_Y, (0, 32 * k, 64, 32),
                   32 if k == music else 16)
    angel(scr, skin, L.ANGEL_MENU[0] + 30, L.ANGEL_MENU[1] + 2, 0, 2)
    buttons(scr, skin, "SelectStageButton")
    return scr


BOARD = [
    "........",
    "........",
    "........",
    "........",
    "........",
    "........",
    "......2.",
    "..1...2.",
    "..1.0.0.",
    "0.T2T1T0",
    "T1.0T2T1",
    "2T0T1T0T",
    "T2T1T0T2",
]


def play_screen(skin, overlay=None):
    scr = Screen()
    scr.px[:, :] = (30 >> 3, 30 >> 3, 40 >> 3)
    scr.opaque(skin.image("background.bmp"), 0, 0)
    angel(scr, skin, L.ANGEL_PLAY[0] + 20, L.ANGEL_PLAY[1] + 10, 0, 0, next_pair=(2, 0) if not overlay else None)
    bx, by = L.BOARD[:2]
    if overlay not in ("pause", "exit", "help"):
        for r, row in enumerate(BOARD):
            for c, ch in enumerate(row):
                x, y = bx + 32 * c, by + 32 * r
                if ch == "T":
                    over = overlay in ("gameover", "name")
                    piece(scr, skin, (c + r) % 3, 1 if over else 0, 4 if over else 2, x, y)
                elif ch != ".":
                    col = 4
                    if r > 0 and BOARD[r - 1][c] == ch and r in (8,):
                        col = 0
                    if r < 12 and BOARD[r + 1][c] == ch and r in (7,):
                        col = 2
                    piece(scr, skin, int(ch), col, 0, x, y)
        if not overlay:
            piece(scr, skin, 1, 1, 0, bx + 64, by + 96, 28)
            piece(scr, skin, 2, 3, 0, bx + 96, by + 96, 28)
            mv, mm = skin.image("movenum0.bmp"), skin.image("movenum1.bmp")
            # the pop-ups of three targets side by side cleared in a chain: "70", times 2
            for target in range(3):
                for i, row in enumerate((7, 0, 10, 2)):
                    scr.masked(mv, mm, bx + 32 * (3 + target) + 12 * i, by + 32 * 9, (0, 17 * row, mv.shape[1], 17))
    for c, (x, y) in enumerate(L.CHARACTERS):
        sb, sm = skin.image(f"sb{c}.bmp"), skin.image(f"sb{c}m.bmp")
        cw, ch = sb.shape[1] // 12, sb.shape[0] // 4
        frame, mood = [(0, 0), (3, 1), (2, 0)][c] if overlay not in ("gameover", "name") else (2, 3)
        scr.masked(sb, sm, x, y, (frame * cw, mood * ch, cw, ch))
    sx, sy = skin.num("MainSettings", "ShowScoreX"), skin.num("MainSettings", "ShowScoreY")
    digits(scr, skin, "score", "9876543210", sx, sy - 38, 20, 10)
    digits(scr, skin, "score", "1250", sx, sy, 20, 10)
    digits(scr, skin, "diff", "1", sx, sy + 38, 0, 3)
    stx, sty = skin.num("MainSettings", "ShowStageX"), skin.num("MainSettings", "ShowStageY")
    digits(scr, skin, "stage", "12", stx - 13, sty, 26, 10)
    digits(scr, skin, "stage", "14", L.TARGETS_LEFT[1], L.TARGETS_LEFT[2], 26, 10)
    digits(scr, skin, "timenum", "07", *L.TIME_MIN, 20, 10)
    digits(scr, skin, "timenum", "05", *L.TIME_SEC, 20, 10)
    vol = skin.image("volume.bmp")
    for i, (state, level) in enumerate(((1, 44), (0, 20))):
        scr.masked(skin.image(f"check{state}.bmp"), skin.image(f"check{state}m.bmp"),
                   skin.num("MainSettings", f"CheckX{i}"), skin.num("MainSettings", f"CheckY{i}"))
        scr.keyed(vol, skin.num("MainSettings", f"VolX{i}"), skin.num("MainSettings", f"VolY{i}"), (level + 2) // 4 * 4)
    lit = {None: (1,), "exit": (7, 8), "gameover": (), "pause": (4,), "name": (), "help": ()}[overlay]
    if overlay == "exit":
        panel(scr, skin, "exit", False)
    elif overlay == "pause":
        panel(scr, skin, "pause", True)
    elif overlay == "gameover":
        panel(scr, skin, "gameover", True)
    buttons(scr, skin, "GameButton", lit=lit, paused=overlay == "pause")
    if overlay == "name":
        name_entry(scr, skin)
    elif overlay == "help":
        help_page(scr, skin)
    return scr


def panel(scr, skin, stem, sway):
    pic, mask = skin.image(stem + "0.bmp"), skin.image(stem + "1.bmp")
    h, w = pic.shape[:2]
    x, y = (L.BUFFER_W - w) // 2, (L.BUFFER_H - h) // 2
    if sway:
        x, y = x + 10, y - 6
    scr.masked(pic, mask, x, y)


# What the game writes with the run-time font, as it sets it: each glyph from x = 1 of its cell,
# advanced by its mask's rightmost lit column plus 1, a space by 5.
FONT_CELL = (16, 22)


def write(scr, skin, x, y, s, right=None):
    pic, mask = skin.image("font0.bmp"), skin.image("font1.bmp")
    cw, ch = FONT_CELL
    glyphs = []
    for code in s.encode("cp1252"):
        i = code - 0x20
        src = ((i % 16) * cw, (i // 16) * ch, cw, ch)
        lit = np.nonzero((mask[src[1]:src[1] + ch, src[0]:src[0] + cw, 2] >> 3).max(axis=0) > 0)[0]
        glyphs.append((src, 5 if code == 0x20 or len(lit) == 0 else int(lit[-1]) + 1))
    if right is not None:
        x = right - sum(advance for _, advance in glyphs)
    for src, advance in glyphs:
        scr.masked(pic, mask, x, y, src)
        x += advance


SAMPLE_SCORES = [("Robin", 18450, "2024-05-02 21:14"), ("Ada", 12300, "2024-04-28 19:03"),
                 ("Kestrel", 9020, "2024-04-11 08:47"), ("Noël", 4510, "2024-03-30 17:20")]


def scores_screen(skin):
    scr = Screen()
    scr.opaque(skin.image("scores_bk.bmp"), 0, 0)
    for d, x in enumerate(L.SCORES_PANEL_X):
        for r in range(L.SCORES_ROWS):
            y = L.SCORES_ROW_Y + L.SCORES_ROW_STEP * r
            write(scr, skin, x + 8, y + 2, str(r + 1))
            if r < len(SAMPLE_SCORES) - d:
                name, points, date = SAMPLE_SCORES[r + d]
                write(scr, skin, x + 30, y + 2, name)
                write(scr, skin, 0, y + 2, str(points // (d + 1)), right=x + 216)
                write(scr, skin, x + 30, y + 21, date)
    buttons(scr, skin, "HiScoreButton", lit=(0,))
    return scr


SAMPLE_BINDINGS = [("Left arrow", "d-pad left"), ("Right arrow", "d-pad right"), ("Up arrow", "south"),
                   ("Down arrow", "d-pad down"), ("", "east"), ("Esc", "Start"), ("Space", "")]


def controls_screen(skin):
    scr = Screen()
    scr.opaque(skin.image("keys_bk.bmp"), 0, 0)
    for r, (key, pad) in enumerate(SAMPLE_BINDINGS):
        y = L.CONTROLS_ROW_Y + L.CONTROLS_ROW_STEP * r
        write(scr, skin, L.CONTROLS_KEY_WELL[0] + 8, y + 8, key)
        write(scr, skin, L.CONTROLS_PAD_WELL[0] + 8, y + 8, pad)
    write(scr, skin, 64, L.CONTROLS_MESSAGE_Y[0], "Space was bound to Hide the window: it is free now")
    buttons(scr, skin, "ControlsButton", lit=(1,))
    return scr


def name_entry(scr, skin):
    px, py = 140, 150
    scr.masked(skin.image("namepanel0.bmp"), skin.image("namepanel1.bmp"), px, py)
    write(scr, skin, px + 24, py + 46, "Score 1250, 3rd on Normal")
    write(scr, skin, px + 28, py + 80, "Robin_")
    letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.-' ÀÉÖÑ"
    for k in range(5):
        for c in range(14):
            i = 14 * k + c
            if i < len(letters):
                write(scr, skin, px + 24 + 28 * c, py + 112 + 19 * k, letters[i])


def help_page(scr, skin):
    x0, y0 = L.HELP_POS
    scr.opaque(skin.image("help.bmp"), x0, y0)
    key_x, pad_x = skin.num("HelpPage", "KeyX"), skin.num("HelpPage", "PadX")
    for r, (key, pad) in enumerate(SAMPLE_BINDINGS):
        y = y0 + skin.num("HelpPage", f"Row{r}Y")
        write(scr, skin, x0 + key_x, y, key)
        write(scr, skin, x0 + pad_x, y, pad)


def contact_sheet(skin_dir, path):
    skin = Skin(skin_dir)
    shots = [("Title", title_screen(skin)), ("Stage selection", select_screen(skin)),
             ("Play", play_screen(skin)), ("Play: exit confirmation", play_screen(skin, "exit")),
             ("Play: paused", play_screen(skin, "pause")), ("Play: game over", play_screen(skin, "gameover")),
             ("High scores", scores_screen(skin)), ("Controls", controls_screen(skin)),
             ("Play: a new high score", play_screen(skin, "name")), ("Play: help", play_screen(skin, "help"))]
    pad, caption = 12, 22
    cols, rows = 2, 5
    sheet = Image.new("RGB", (cols * (L.SCREEN_W + pad) + pad, rows * (L.SCREEN_H + pad + caption) + pad),
                      (46, 40, 56))
    d = ImageDraw.Draw(sheet)
    f = font(4, bold=True)
    for i, (name, scr) in enumerate(shots):
        x = pad + (i % cols) * (L.SCREEN_W + pad)
        y = pad + (i // cols) * (L.SCREEN_H + pad + caption)
        d.text((x, y + 2), name, font=f, fill=(255, 240, 220))
        sheet.paste(scr.picture(), (x, y + caption))
    sheet.save(path, optimize=True)
