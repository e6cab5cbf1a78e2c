#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Makes the default skin: skin/main.ini, skin/images/*, skin/sounds/*, the contact sheet
tools/skin/preview.png and the program's icons packaging/icons/kestrel-<n>.png. Everything is drawn and synthesised here from fixed seeds, so a rerun
gives the same files.

    /usr/bin/python3 tools/skin/generate.py [--images-only] [--out DIR] [--icons DIR]
    /usr/bin/python3 tools/skin/generate.py --theme high-contrast

A theme other than the default (theme.py) makes skins/<theme>/ (main.ini and images/, its
sounds a link to the default skin's) and its contact sheet tools/skin/preview-<theme>.png.

Needs python3-pil, python3-numpy, fonts-dejavu-core and oggenc (vorbis-tools): tools/deps.sh skin.
"""
import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import creatures  # noqa: E402
import cursors  # noqa: E402
import font_sheet  # noqa: E402
import layout as L  # noqa: E402
import pages  # noqa: E402
import screens  # noqa: E402
import theme  # noqa: E402
import widgets as W  # noqa: E402
from draw import save_opaque, save_picture, save_sprite  # noqa: E402
from ini import main_ini  # noqa: E402


def write_images(images):
    def sprite(picture, mask, img, exact=False):
        save_sprite(os.path.join(images, picture), os.path.join(images, mask), img, exact)

    def opaque(name, img):
        save_opaque(os.path.join(images, name), img)

    def pair(stem, img):
        sprite(f"{stem}0.bmp", f"{stem}1.bmp", img)

    opaque("tit_bk.bmp", screens.title_background())
    opaque("background.bmp", screens.play_background())
    save_opaque(os.path.join(images, "help.bmp"), screens.help_page(), exact=True)
    opaque("loading.bmp", screens.loading_picture())
    opaque("plan.bmp", screens.progress_strip())
    opaque("scores_bk.bmp", pages.scores_background())
    opaque("keys_bk.bmp", pages.controls_background())
    pair("namepanel", pages.name_panel())
    # one ink colour: the mask alone shapes the glyphs
    sprite("font0.bmp", "font1.bmp", font_sheet.font_sheet(), exact=True)
    for k in range(3):
        sprite(f"s{k}.bmp", f"s{k}m.bmp", creatures.piece_sheet(k))
        sprite(f"sb{k}.bmp", f"sb{k}m.bmp", creatures.character_sheet(k))
    pair("angel", creatures.angel_sheet())
    pair("tit_logo", screens.title_logo())
    pair("diff", W.difficulty_words())
    pair("timenum", W.glyph_strip(*L.TIME_GLYPH, "0123456789", *theme.digits["time"]))
    sprite("score0.bmp", "score1.bmp", W.glyph_strip(*L.SCORE_GLYPH, "0123456789", *theme.digits["score"]))
    sprite("stage0.bmp", "stage1.bmp", W.glyph_strip(*L.STAGE_GLYPH, "0123456789", *theme.digits["stage"]))
    sprite("movenum0.bmp", "movenum1.bmp", W.movenum_strip())
    pair("pause", screens.pause_panel())
    pair("gameover", screens.game_over_panel())
    pair("nextstage", screens.stage_clear_panel())
    pair("exit", screens.confirm_panel("Leave for the title screen?"))
    pair("newgame", screens.confirm_panel("Start a new game?"))
    # the selection panel is one large soft gradient: exact colours, no palette
    sprite("selbk0.bmp", "selbk1.bmp", screens.select_panel(), exact=True)
    pair("selpoint", W.stage_marker())
    pair("slediff", W.difficulty_icons())
    # both looks share one tile shape, so the locked look's mask serves both
    save_picture(os.path.join(images, "selmus0.bmp"), W.music_tiles(False))
    sprite("selmus1.bmp", "selmus2.bmp", W.music_tiles(True))
    for i in range(2):
        sprite(f"check{i}.bmp", f"check{i}m.bmp", W.check_box(i == 1))
    save_opaque(os.path.join(images, "volume.bmp"), W.volume_bar())
    for i, caption in enumerate(L.BUTTON_IMAGES):
        if i == 4:   # the web link glows over the words painted on the background
            sprite("but4.bmp", "butm4.bmp", W.glow_link(L.WEB_LINK[2] - L.WEB_LINK[0], L.WEB_LINK[3] - L.WEB_LINK[1]))
            continue
        big = i in L.BIG_BUTTON_IMAGES
        w, h = L.BIG_BUTTON_SIZE if big else L.BUTTON_SIZE
        size = 22 if big else 14
        base = (90, 180, 90) if caption in ("Yes", "Play", "Start") else W.ORANGE
        sprite(f"but{i}.bmp", f"butm{i}.bmp", W.button(w, h, caption, False, base, size))
        sprite(f"butc{i}.bmp", f"butcm{i}.bmp", W.button(w, h, caption, True, base, size))
    for i, make in enumerate(cursors.CURSORS):
        rgba, hotspot = make()
        with open(os.path.join(images, f"{i}.cur"), "wb") as f:
            f.write(cursors.cur_bytes(rgba, hotspot))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--theme", choices=theme.THEMES, default="default")
    parser.add_argument("--out", help="the skin folder (default: skin/, or skins/<theme>/)")
    parser.add_argument("--icons", default=os.path.join(HERE, "..", "..", "packaging", "icons"))
    parser.add_argument("--images-only", action="store_true", help="skip the sounds and music")
    args = parser.parse_args()
    default = args.theme == "default"
    root = os.path.join(HERE, "..", "..")
    out = os.path.abspath(args.out or (os.path.join(root, "skin") if default else os.path.join(root, "skins", args.theme)))
    theme.apply(args.theme)
    images, sounds = os.path.join(out, "images"), os.path.join(out, "sounds")
    os.makedirs(images, exist_ok=True)
    with open(os.path.join(out, "main.ini"), "w", newline="\n") as f:
        f.write(main_ini())
    write_images(images)
    if not default:
        # the default skin's sounds and music, shared
        if not os.path.lexists(sounds):
            os.symlink(os.path.relpath(os.path.join(root, "skin", "sounds"), out), sounds)
    elif not args.images_only:
        import audio
        os.makedirs(sounds, exist_ok=True)
        audio.write_sounds(sounds)
    import preview
    preview.contact_sheet(out, os.path.join(HERE, "preview.png" if default else f"preview-{args.theme}.png"))
    if default:
        import icons
        icons.write_icons(os.path.abspath(args.icons))


if __name__ == "__main__":
    main()
