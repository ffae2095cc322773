"""The converter screen's background, in a 720 (1152 x 648) and a 1080 (1920 x 1080) variant.

The screen stretches the background over the whole window, while its widgets keep their
default-window positions (only the convert button grows). The 720 variant, shown up to 1280
pixels wide, is drawn for the default layout: header, group separators, preview well with a
drop hint, information slot. The 1080 variant, shown in wider windows, cannot line up with
widgets that do not move, and no header band with an edge suits every height (the option bar
needs 78 pixels at 768 high, the preview starts at 95 at 1080 high), so it carries a header
that fades from white into the panel without an edge, the brand, and the panel.

How the screen uses it: it fills a panel of {246, 246, 246} first, draws its message list
(white lines on a dark band, low on the left) and then the background over both; after the
first frame the background is drawn with a blend mode that adds the source colour unweighted
(source factor ONE). So:
- below the header and above the bottom margin, wherever nothing is drawn, the image is
  fully transparent with colour 0, and the panel (and the messages) show through;
- what is drawn there is opaque, or black at low opacity (shading the panel): for a black
  pixel both blend modes give the same picture, for any other translucent one they differ.
The header and the bottom margin are opaque (outside the panel nothing else is drawn).
"""
import math

from . import option_bar_images as bar
from . import palette as p
from .brand import draw_tile
from .paint import Canvas

HEADER_HEIGHT = 86        # default layout: the option bar ends at y 76
WIDE_HEADER_FADE = (30, 66)  # 1080 variant, default-window units: white, then fading out
STAGE_BOTTOM = 600  # the panel covers at least y 25 .. height - 25 at any window height >= 300


def _header(c, layout, width, height):
    # An opaque base under the header and its hairline, to the next whole pixel: where an
    # edge falls inside a pixel, that pixel must not end up translucent.
    base = math.ceil((height + 1) * c.scale) / c.scale
    c.rect(0, 0, width, base, p.SURFACE)
    c.rect(0, 0, width, height, p.HEADER)
    c.rect(0, height, width, 1, p.HAIRLINE)
    c.rect(0, height + 1, width, 7,
           c.vertical_gradient(p.black(0.07), p.black(0.0), height + 1, height + 8))
    _brand(c, layout, width)


def _fading_header(c, layout, width):
    top, bottom = WIDE_HEADER_FADE
    # Opaque to the next whole pixel, so no edge pixel is translucent.
    c.rect(0, 0, width, math.ceil(bottom * c.scale) / c.scale, p.SURFACE)
    c.rect(0, 0, width, bottom, c.vertical_gradient(p.HEADER, p.SURFACE, top, bottom, ease=True))
    _brand(c, layout, width)


def _brand(c, layout, width):
    """Brand at the top right, mirroring the source button's left margin."""
    brand = layout.value("PARAM_OTHER", "KALO_BRAND")
    right = width - layout.source_button()[0]
    cy = 16
    text_width = c.text_centered(right, cy, brand, 12, p.TEXT_TERTIARY, align="right")
    tile = 18
    draw_tile(c, right - text_width - 8 - tile, cy - tile / 2, tile)


def _separators(c, layout):
    # Hairline separators between the groups of the option bar: half way between the end of
    # one group and the visible start of the next caption.
    sx, _, sw, _ = layout.source_button()
    groups = [("PARAM_FILTER_OPTION", bar.CAPTION_FILTER_TEXT, sx + sw),
              ("PARAM_OPTION_THREED", bar.CAPTION_THREED_TEXT, None),
              ("PARAM_OPTION_OUTPUT", bar.CAPTION_OUTPUT_TEXT, None)]
    previous_end = None
    for section, text, end in groups:
        cx, _, cw, _ = layout.caption(section)
        visible_start = cx + cw - bar.caption_content_width(text)
        start = end if end is not None else previous_end
        x = round((start + visible_start) / 2)
        c.rect(x, 42, 1, 24, p.SEPARATOR)
        mx, _, mw, _ = layout.menu(section)
        if section == "PARAM_FILTER_OPTION":
            mw = bar.filter_menu_width(layout)
        previous_end = mx + mw


def _preview_well(c, layout):
    x, y, w, h = layout.preview_area()
    well = c.rounded_rect_mask(x, y, w, h, 12)
    c.fill(well, p.black(0.035))
    c.fill(c.ring_mask(well, c.rounded_rect_mask(x + 1, y + 1, w - 2, h - 2, 11)), p.black(0.05))

    # Drop hint, centred; narrow enough to hide behind a portrait thumbnail.
    cx, cy = x + w / 2, y + h / 2
    c.icon(cx, cy - 40, p.ICON_DROP, 44, p.black(0.20))
    c.text_centered(cx, cy + 14, "拖放视频文件到这里", 18, p.black(0.46))
    extensions = [e["ext"].lstrip(".").upper() for e in layout.value("PARAM_EXT", "array")]
    c.text_centered(cx, cy + 42, "支持 " + " / ".join(extensions), 12, p.black(0.34))


def _info_slot(c, layout):
    x, y, w, h = layout.info_panel()
    # An empty slot in the preview well's language until the screen fills it (and frames it).
    slot = c.rounded_rect_mask(x, y, w, h, 4)
    c.fill(slot, p.black(0.035))
    c.fill(c.ring_mask(slot, c.rounded_rect_mask(x + 1, y + 1, w - 2, h - 2, 3)), p.black(0.05))
    c.icon(x + w - 16, y + 16, p.ICON_INFO, 14, p.black(0.16))


def background(layout, variant):
    """variant "720" (1152 x 648, the default layout) or "1080" (1920 x 1080, any wide window)."""
    width, height = layout.window
    scale = 1.0 if variant == "720" else 1920 / width
    c = Canvas(width, height, scale)
    c.rect(0, STAGE_BOTTOM, width, height - STAGE_BOTTOM, p.SURFACE)
    if variant == "720":
        _header(c, layout, width, HEADER_HEIGHT)
        _separators(c, layout)
        _preview_well(c, layout)
        _info_slot(c, layout)
    else:
        _fading_header(c, layout, width)
    return c
