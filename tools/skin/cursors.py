# SPDX-License-Identifier: MIT
"""Windows cursor files: 32 x 32, 32-bit BGRA with an AND mask, the hotspot in the directory entry."""
import math
import struct

import numpy as np
from PIL import Image, ImageDraw

from draw import S, blur, canvas, downsample, fill, grow, new_mask, poly_mask, shift

SIZE = 32


def cur_bytes(rgba, hotspot):
    """The bytes of a .cur file holding one 32 x 32 image."""
    arr = np.asarray(rgba, dtype=np.uint8)
    bgra = arr[::-1, :, [2, 1, 0, 3]].tobytes()               # rows bottom-up
    transparent = arr[::-1, :, 3] == 0
    and_mask = np.packbits(transparent.astype(np.uint8), axis=1).tobytes()   # 4 bytes a row, bottom-up
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(bgra) + len(and_mask), 0, 0, 0, 0)
    image = header + bgra + and_mask
    icondir = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return icondir + entry + image


def _outlined(shape, body=(255, 255, 255), edge=(20, 20, 30)):
    img = canvas(SIZE, SIZE)
    fill(img, blur(shift(grow(shape, 1.2), 1, 1.5), 0.8), (0, 0, 0), 0.4)
    fill(img, grow(shape, 1.2), edge)
    fill(img, shape, body)
    out = np.asarray(downsample(img)).copy()
    out[out[..., 3] < 24] = 0
    return Image.fromarray(out, "RGBA")


def arrow():
    img = canvas(SIZE, SIZE)
    shape = poly_mask(img, [(1.5, 1.5), (1.5, 20), (6, 15.5), (9.5, 23), (12.5, 21.5), (9, 14.5), (15, 14.5)])
    return _outlined(shape), (1, 1)


def hand():
    img = canvas(SIZE, SIZE)
    m = new_mask(img)
    d = ImageDraw.Draw(m)
    d.rounded_rectangle([S(9), S(1.5), S(13.5), S(16)], radius=S(2.2), fill=255)          # pointing finger
    for i, top in enumerate((9.5, 10.5, 12)):
        x = 13.5 + i * 4.2
        d.rounded_rectangle([S(x), S(top), S(x + 4.2), S(18)], radius=S(2), fill=255)
    d.rounded_rectangle([S(9), S(12), S(25.8), S(26)], radius=S(4), fill=255)            # palm
    d.polygon([(S(9.5), S(22)), (S(4), S(15.5)), (S(6.2), S(13.5)), (S(10.5), S(17))], fill=255)  # thumb
    return _outlined(m, body=(255, 244, 226)), (11, 1)


def grip():
    """Left-right arrows for the volume sliders."""
    img = canvas(SIZE, SIZE)
    shape = poly_mask(img, [(2, 16), (10, 8), (10, 13), (22, 13), (22, 8), (30, 16), (22, 24), (22, 19), (10, 19),
                            (10, 24)])
    return _outlined(shape, body=(255, 226, 120)), (16, 16)


def crosshair():
    img = canvas(SIZE, SIZE)
    m = new_mask(img)
    d = ImageDraw.Draw(m)
    d.ellipse([S(7), S(7), S(25), S(25)], outline=255, width=S(2))
    d.line([S(16), S(2), S(16), S(12)], fill=255, width=S(2))
    d.line([S(16), S(20), S(16), S(30)], fill=255, width=S(2))
    d.line([S(2), S(16), S(12), S(16)], fill=255, width=S(2))
    d.line([S(20), S(16), S(30), S(16)], fill=255, width=S(2))
    return _outlined(m), (16, 16)


def forbidden():
    img = canvas(SIZE, SIZE)
    m = new_mask(img)
    d = ImageDraw.Draw(m)
    d.ellipse([S(4), S(4), S(28), S(28)], outline=255, width=S(3.5))
    a = math.radians(45)
    d.line([S(16 - 10 * math.cos(a)), S(16 - 10 * math.sin(a)), S(16 + 10 * math.cos(a)), S(16 + 10 * math.sin(a))],
           fill=255, width=S(3.5))
    return _outlined(m, body=(240, 80, 70)), (16, 16)


CURSORS = [arrow, hand, grip, crosshair, forbidden]   # 0 arrow, 1 over controls, 2 slider grip, 3 and 4 spare
