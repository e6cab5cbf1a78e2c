# SPDX-License-Identifier: MIT
"""The program's icons: the kestrel of the skin, cheering on a round patch of sky, at the sizes
the desktop asks for (packaging/icons/kestrel-<n>.png). Drawn once at a large scale and filtered
down to each size, so small icons stay smooth."""
import os

import numpy as np
from PIL import Image

import draw
import layout as L
from creatures import bird

SIZES = (16, 32, 48, 64, 128, 256, 512)
MASTER_SCALE = 8          # the figure's drawing scale for the master (the skin's is draw.SCALE)
SKY_TOP, SKY_BOTTOM = (150, 206, 250), (52, 112, 196)
RIM = (255, 255, 255)


def _figure():
    """The cheering kestrel, cropped to its own outline, at MASTER_SCALE times its skin size."""
    skin_scale = draw.SCALE
    draw.SCALE = MASTER_SCALE
    try:
        img = bird(draw.canvas(*L.ANGEL_CELL), -2.5, 60, eyes="happy", mouth="open", legs="tuck")
    finally:
        draw.SCALE = skin_scale
    return img.crop(img.getbbox())


def _master(side):
    """The icon at side x side pixels: a sky disc with a light rim and the figure over it."""
    yy, xx = np.mgrid[0:side, 0:side].astype(np.float64) + 0.5
    r = side * 0.46
    d = np.hypot(xx - side / 2, yy - side / 2)
    t = np.clip((yy - (side / 2 - r)) / (2 * r), 0, 1)[:, :, None]
    sky = np.array(SKY_TOP, np.float64) + (np.array(SKY_BOTTOM, np.float64) - np.array(SKY_TOP, np.float64)) * t
    rim = np.clip((d - (r - side * 0.025)) / (side * 0.01), 0, 1)[:, :, None]
    rgb = sky * (1 - rim) + np.array(RIM, np.float64) * rim
    alpha = np.clip(r - d + 0.5, 0, 1) * 255
    icon = Image.fromarray(np.dstack([rgb, alpha]).round().astype(np.uint8), "RGBA")
    figure = _figure()
    k = side * 0.84 / max(figure.size)
    figure = figure.resize((round(figure.width * k), round(figure.height * k)), Image.LANCZOS)
    icon.alpha_composite(figure, ((side - figure.width) // 2, (side - figure.height) // 2 + round(side * 0.02)))
    return icon


def write_icons(folder):
    os.makedirs(folder, exist_ok=True)
    master = _master(1024)
    for n in SIZES:
        master.resize((n, n), Image.LANCZOS).save(os.path.join(folder, f"kestrel-{n}.png"), optimize=True)
