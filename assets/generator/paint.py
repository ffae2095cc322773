"""A small painting toolkit on Pillow: antialiased shapes, gradients, shadows, text and icons.

Shapes are drawn as coverage masks at `SUPERSAMPLE` times the output resolution and reduced
with a box filter, which gives exact-area antialiasing. Text and icon glyphs are rendered by
FreeType directly at the output resolution, as SDL_ttf does in the application. Every layer is
composited with straight alpha (`Image.alpha_composite`).

Coordinates are design units; `scale` maps them to output pixels, so one drawing function
serves a 1x image and its 2x variant.
"""
import numpy as np
from PIL import Image, ImageDraw, ImageFilter

from . import fonts

SUPERSAMPLE = 4


def ink_box(font, text):
    """Box of the pixels FreeType inks for `text`, relative to its baseline-left origin.
    (Pillow's getbbox spans the advance and the baseline, not the ink.)"""
    size = font.size * 4 + 8
    origin = size // 2
    scratch = Image.new("L", (size * max(1, len(text)), size), 0)
    ImageDraw.Draw(scratch).text((origin, origin), text, font=font, fill=255, anchor="ls")
    left, top, right, bottom = scratch.getbbox()
    return left - origin, top - origin, right - origin, bottom - origin


class Canvas:
    def __init__(self, width, height, scale=1.0, fill=(0, 0, 0, 0)):
        """width, height in design units; the image is round(width * scale) pixels wide."""
        self.scale = scale
        self.size = (round(width * scale), round(height * scale))
        self.image = Image.new("RGBA", self.size, fill)

    # --- masks -----------------------------------------------------------------------------
    def mask(self, draw):
        """Coverage mask ("L") of what `draw(ImageDraw, k)` paints, k = pixels per design unit
        at the supersampled resolution."""
        k = self.scale * SUPERSAMPLE
        big = Image.new("L", (self.size[0] * SUPERSAMPLE, self.size[1] * SUPERSAMPLE), 0)
        draw(ImageDraw.Draw(big), k)
        return big.reduce(SUPERSAMPLE)

    def rounded_rect_mask(self, x, y, w, h, r):
        def draw(d, k):
            d.rounded_rectangle([x * k, y * k, (x + w) * k - 1, (y + h) * k - 1],
                                radius=r * k, fill=255)
        return self.mask(draw)

    def ellipse_mask(self, cx, cy, rx, ry=None):
        ry = rx if ry is None else ry

        def draw(d, k):
            d.ellipse([(cx - rx) * k, (cy - ry) * k, (cx + rx) * k - 1, (cy + ry) * k - 1],
                      fill=255)
        return self.mask(draw)

    def polygon_mask(self, points):
        def draw(d, k):
            d.polygon([(px * k, py * k) for px, py in points], fill=255)
        return self.mask(draw)

    def ring_mask(self, outer, inner):
        """Pixels covered by `outer` but not by `inner` (both masks)."""
        a = np.asarray(outer, dtype=np.int32) - np.asarray(inner, dtype=np.int32)
        return Image.fromarray(np.clip(a, 0, 255).astype(np.uint8), "L")

    # --- paints ----------------------------------------------------------------------------
    def vertical_gradient(self, top, bottom, y0, y1, ease=False):
        """An RGBA layer going from `top` at design y0 to `bottom` at design y1; eased
        (smoothstep) it has no visible start or end."""
        h = self.size[1]
        ys = (np.arange(h) + 0.5) / self.scale
        t = np.clip((ys - y0) / max(y1 - y0, 1e-6), 0.0, 1.0)
        if ease:
            t = t * t * (3 - 2 * t)
        t = t[:, None]
        colors = np.array(top, float) * (1 - t) + np.array(bottom, float) * t
        rows = np.repeat(colors[:, None, :], self.size[0], axis=1)
        return Image.fromarray(np.round(rows).astype(np.uint8), "RGBA")

    def fill(self, mask, paint, opacity=1.0):
        """Composite `paint` (a colour tuple or an RGBA layer) through a coverage mask."""
        if isinstance(paint, tuple):
            layer = Image.new("RGBA", self.size, paint[:3] + (0,))
            alpha = np.asarray(mask, float) * (paint[3] / 255.0) * opacity
        else:
            layer = paint.copy()
            alpha = np.asarray(mask, float) / 255.0 * np.asarray(layer.getchannel("A"), float)
            alpha *= opacity
        layer.putalpha(Image.fromarray(np.round(alpha).astype(np.uint8), "L"))
        self.image = Image.alpha_composite(self.image, layer)

    def shadow(self, mask, color, blur, dx=0.0, dy=0.0):
        """A soft shadow of a shape: its mask offset, blurred (design units) and tinted."""
        shifted = Image.new("L", self.size, 0)
        shifted.paste(mask, (round(dx * self.scale), round(dy * self.scale)))
        if blur > 0:
            shifted = shifted.filter(ImageFilter.GaussianBlur(blur * self.scale))
        self.fill(shifted, color)

    # --- shapes ----------------------------------------------------------------------------
    def rounded_rect(self, x, y, w, h, r, paint, border=None, border_width=1.0):
        """A filled rounded rectangle with an optional inside border."""
        outer = self.rounded_rect_mask(x, y, w, h, r)
        if border is None:
            self.fill(outer, paint)
            return outer
        bw = border_width
        inner = self.rounded_rect_mask(x + bw, y + bw, w - 2 * bw, h - 2 * bw, max(r - bw, 0))
        self.fill(outer, border)
        self.fill(inner, paint)
        return outer

    def rect(self, x, y, w, h, paint):
        return self.rounded_rect(x, y, w, h, 0, paint)

    # --- text and glyphs -------------------------------------------------------------------
    def _glyph_layer(self, font, text, color, origin):
        """Render `text` with its baseline-left at `origin` (output pixels) into a mask."""
        mask = Image.new("L", self.size, 0)
        ImageDraw.Draw(mask).text(origin, text, font=font, fill=255, anchor="ls")
        self.fill(mask, color)

    def text(self, x, baseline, text, size, color, weight="regular"):
        """Text with its left edge at x and its baseline at `baseline` (design units)."""
        font = fonts.cjk(round(size * self.scale), weight)
        self._glyph_layer(font, text, color, (x * self.scale, baseline * self.scale))

    def text_width(self, text, size, weight="regular"):
        font = fonts.cjk(round(size * self.scale), weight)
        return font.getlength(text) / self.scale

    def ideograph_baseline(self, center_y, size, weight="regular"):
        """The baseline that centres the ink of Chinese characters on center_y."""
        font = fonts.cjk(round(size * self.scale), weight)
        _, top, _, bottom = ink_box(font, "国")
        return center_y - (top + bottom) / 2 / self.scale

    def text_centered(self, cx, cy, text, size, color, weight="regular", align="center"):
        """Text whose ink is centred vertically on cy; horizontally centred on cx, or starting
        (align="left") or ending (align="right") at cx."""
        width = self.text_width(text, size, weight)
        x = {"center": cx - width / 2, "left": cx, "right": cx - width}[align]
        self.text(x, self.ideograph_baseline(cy, size, weight), text, size, color, weight)
        return width

    def icon(self, cx, cy, code, size, color):
        """An icon glyph of our icon font, its ink box centred on (cx, cy); size is the em size
        in design units."""
        font = fonts.icons(max(1, round(size * self.scale)))
        char = chr(code)
        left, top, right, bottom = ink_box(font, char)
        ox = cx * self.scale - (left + right) / 2
        oy = cy * self.scale - (top + bottom) / 2
        self._glyph_layer(font, char, color, (ox, oy))

    # --- output ----------------------------------------------------------------------------
    def premultiplied(self):
        """The image with colour multiplied by alpha: for textures drawn with a blend mode that
        adds the source colour unweighted (source factor ONE)."""
        a = np.asarray(self.image, float)
        a[..., :3] *= a[..., 3:4] / 255.0
        return Image.fromarray(np.round(a).astype(np.uint8), "RGBA")

    def save(self, path, image=None):
        (image or self.image).save(path, optimize=False, compress_level=9)
