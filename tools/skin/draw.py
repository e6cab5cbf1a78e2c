# SPDX-License-Identifier: MIT
"""Drawing helpers of the skin generator.

Pictures are drawn at four times their final size on RGBA canvases and filtered down with
an area average in premultiplied alpha, which gives smooth edges and soft shadows. A sprite
is saved as two files: the picture (RGB, transparent pixels pure magenta) and its mask
(grey, the opacity 0..255, which the game reads from the blue channel as 0..31).
"""
import os

import numpy as np
from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

SCALE = 4
FONT_DIR = "/usr/share/fonts/truetype/dejavu"
MAGENTA = (255, 0, 255)

_font_cache = {}


def font(size, bold=True, condensed=False):
    """DejaVu Sans at `size` final pixels, scaled for the 4x canvas."""
    name = "DejaVuSans"
    if condensed:
        name += "Condensed"
    if bold:
        name += "-Bold"
    key = (name, size)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(os.path.join(FONT_DIR, name + ".ttf"), int(size * SCALE))
    return _font_cache[key]


def canvas(w, h):
    """A transparent 4x canvas for a picture of w x h final pixels."""
    return Image.new("RGBA", (w * SCALE, h * SCALE), (0, 0, 0, 0))


def S(v):
    return int(round(v * SCALE))


def box(b):
    return [S(v) for v in b]


def new_mask(img):
    return Image.new("L", img.size, 0)


def ellipse_mask(img, b):
    m = new_mask(img)
    ImageDraw.Draw(m).ellipse(box(b), fill=255)
    return m


def rrect_mask(img, b, r):
    m = new_mask(img)
    ImageDraw.Draw(m).rounded_rectangle(box(b), radius=S(r), fill=255)
    return m


def poly_mask(img, points):
    m = new_mask(img)
    ImageDraw.Draw(m).polygon([(S(x), S(y)) for x, y in points], fill=255)
    return m


def union(*masks):
    out = masks[0]
    for m in masks[1:]:
        out = ImageChops.lighter(out, m)
    return out


def intersect(a, b):
    return ImageChops.multiply(a, b)


def subtract(a, b):
    return ImageChops.subtract(a, b)


def shift(mask, dx, dy):
    """Moves a mask by (dx, dy) final pixels; what leaves the canvas is lost."""
    out = Image.new(mask.mode, mask.size, 0)
    out.paste(mask, (S(dx), S(dy)))
    return out


def grow(mask, px):
    """Dilates (px > 0) or erodes (px < 0) a mask by about px final pixels."""
    size = max(3, int(abs(px) * SCALE) * 2 + 1)
    return mask.filter(ImageFilter.MaxFilter(size) if px > 0 else ImageFilter.MinFilter(size))


def blur(mask, px):
    return mask.filter(ImageFilter.GaussianBlur(px * SCALE))


def scale_alpha(mask, k):
    return mask.point(lambda v: int(v * k + 0.5))


def fill(img, mask, colour, opacity=1.0):
    """Composites a flat colour through a mask onto img (in place). Only the mask's bounding
    box is composited: where the mask is empty nothing would change."""
    box = mask.getbbox()
    if box is None:
        return
    a = mask.crop(box)
    if opacity < 1.0:
        a = scale_alpha(a, opacity)
    layer = Image.new("RGBA", a.size, tuple(colour[:3]) + (255,))
    layer.putalpha(a)
    img.alpha_composite(layer, box[:2])


def fill_image(img, mask, src, opacity=1.0):
    """Composites an RGB(A) image of the canvas size through a mask onto img."""
    box = mask.getbbox()
    if box is None:
        return
    layer = src.crop(box).convert("RGBA")
    a = ImageChops.multiply(layer.getchannel("A"), mask.crop(box))
    if opacity < 1.0:
        a = scale_alpha(a, opacity)
    layer.putalpha(a)
    img.alpha_composite(layer, box[:2])


def lerp(c0, c1, t):
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c0, c1))


def shade(c, k):
    """k > 0 towards white, k < 0 towards black."""
    return lerp(c, (255, 255, 255), k) if k >= 0 else lerp(c, (0, 0, 0), -k)


def vgradient(size, top, bottom, y0=0, y1=None):
    """Vertical gradient over the canvas size, from `top` at y0 to `bottom` at y1 (4x units)."""
    w, h = size
    y1 = h if y1 is None else y1
    t = np.clip((np.arange(h, dtype=np.float64) - y0) / max(1, (y1 - y0)), 0, 1)[:, None, None]
    a = np.array(top, np.float64)[None, None, :3]
    b = np.array(bottom, np.float64)[None, None, :3]
    arr = np.broadcast_to(a + (b - a) * t, (h, w, 3))
    return Image.fromarray(np.ascontiguousarray(arr.round().astype(np.uint8)), "RGB")


def radial(size, centre, radius, inner, outer):
    w, h = size
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float64)
    d = np.sqrt((xx - S(centre[0])) ** 2 + (yy - S(centre[1])) ** 2) / S(radius)
    t = np.clip(d, 0, 1)[:, :, None]
    a = np.array(inner, np.float64)[None, None, :3]
    b = np.array(outer, np.float64)[None, None, :3]
    return Image.fromarray((a + (b - a) * t).round().astype(np.uint8), "RGB")


def drop_shadow(img, mask, dx=1.5, dy=2.0, soft=1.2, opacity=0.45):
    """A soft shadow of `mask` under what is drawn next."""
    fill(img, blur(shift(mask, dx, dy), soft), (20, 16, 30), opacity)


def glossy(img, mask, colour, light=(0.0, 0.0), rim=0.45, gloss=0.75, bounds=None):
    """A glossy body: gradient fill, darker rim, soft highlight near the top."""
    x0, y0, x1, y1 = bounds if bounds else [v / SCALE for v in mask.getbbox()]
    grad = radial(img.size, (x0 + (x1 - x0) * 0.38, y0 + (y1 - y0) * 0.32), max(x1 - x0, y1 - y0) * 0.85,
                  shade(colour, 0.22), shade(colour, -0.3))
    fill(img, mask, shade(colour, -rim))
    fill_image(img, grow(mask, -1.0), grad)
    hl = ellipse_mask(img, (x0 + (x1 - x0) * 0.18, y0 + (y1 - y0) * 0.08,
                            x0 + (x1 - x0) * 0.72, y0 + (y1 - y0) * 0.42))
    hl = intersect(blur(hl, 0.8), grow(mask, -1.5))
    fill(img, hl, (255, 255, 255), gloss * 0.5)


def text(img, xy, s, size, colour, anchor="la", bold=True, outline=None, outline_px=1.5, shadow=None,
         condensed=False):
    """Draws text at final-pixel position xy with optional outline and soft shadow."""
    f = font(size, bold, condensed)
    m = new_mask(img)
    ImageDraw.Draw(m).text((S(xy[0]), S(xy[1])), s, font=f, fill=255, anchor=anchor)
    if shadow:
        fill(img, blur(shift(grow(m, outline_px if outline else 0.5), 1.5, 2), 1.2), (0, 0, 0), shadow)
    if outline:
        fill(img, grow(m, outline_px), outline)
    fill(img, m, colour)
    return m


def text_mask(img, xy, s, size, anchor="la", bold=True, condensed=False):
    m = new_mask(img)
    ImageDraw.Draw(m).text((S(xy[0]), S(xy[1])), s, font=font(size, bold, condensed), fill=255, anchor=anchor)
    return m


def text_width(s, size, bold=True, condensed=False):
    return font(size, bold, condensed).getlength(s) / SCALE


def downsample(img):
    """Area-averages a 4x RGBA canvas to final size in premultiplied alpha."""
    a = np.asarray(img, dtype=np.float64) / 255.0
    pre = a.copy()
    pre[..., :3] *= a[..., 3:4]
    h, w = a.shape[0] // SCALE, a.shape[1] // SCALE
    pre = pre.reshape(h, SCALE, w, SCALE, 4).mean(axis=(1, 3))
    alpha = pre[..., 3:4]
    rgb = np.where(alpha > 1e-6, pre[..., :3] / np.maximum(alpha, 1e-6), 0.0)
    out = np.concatenate([rgb, alpha], axis=2)
    return Image.fromarray((np.clip(out, 0, 1) * 255).round().astype(np.uint8), "RGBA")


def to_555(arr):
    """Keeps only what the game sees: 5 bits a channel."""
    return (arr & 0xF8) | (arr >> 5)


# Pictures larger than this many pixels are stored with a palette of 256 colours (dithered) to
# keep the skin small; smaller ones stay exact.
PALETTE_ABOVE = 60000


def _save_rgb(path, arr, exact=False):
    """8-bit paletted BMP when the picture has at most 256 colours or is large, else 24-bit."""
    flat = arr.reshape(-1, 3)
    colours, index = np.unique(flat, axis=0, return_inverse=True)
    if len(colours) > 256 and not exact and arr.shape[0] * arr.shape[1] > PALETTE_ABOVE:
        img = Image.fromarray(arr, "RGB").quantize(256, method=Image.Quantize.MEDIANCUT,
                                                   dither=Image.Dither.FLOYDSTEINBERG)
    elif len(colours) <= 256:
        img = Image.fromarray(index.reshape(arr.shape[:2]).astype(np.uint8), "P")
        palette = np.zeros((256, 3), np.uint8)
        palette[:len(colours)] = colours
        img.putpalette(palette.reshape(-1).tolist())
    else:
        img = Image.fromarray(arr, "RGB")
    img.save(path, "BMP")


def save_opaque(path, img, exact=False):
    """An opaque picture (final size, RGB or RGBA over black)."""
    if img.mode != "RGB":
        img = img.convert("RGB")
    _save_rgb(path, to_555(np.asarray(img, dtype=np.uint8)), exact)


def mask_levels(alpha):
    """Opacity 0..255 to the 32 levels the game uses, written so that blue >> 3 is the level."""
    level = np.clip((alpha.astype(np.int32) * 31 + 127) // 255, 0, 31)
    return (level * 8 + (level >> 2)).astype(np.uint8)


def save_picture(path, img, exact=False):
    """The picture half of a sprite; pixels that its mask hides are magenta."""
    arr = np.asarray(img, dtype=np.uint8)
    rgb = to_555(arr[..., :3].copy())
    rgb[mask_levels(arr[..., 3]) == 0] = MAGENTA
    _save_rgb(path, rgb, exact)


def save_sprite(picture_path, mask_path, img, exact=False):
    """Saves a final-size RGBA sprite as picture + grey mask."""
    save_picture(picture_path, img, exact)
    save_mask(mask_path, mask_levels(np.asarray(img, dtype=np.uint8)[..., 3]))


def save_mask(path, levels):
    Image.fromarray(levels, "L").save(path, "BMP")
