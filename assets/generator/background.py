"""The converter screen's background, in a 720 (1152 x 648) and a 1080 (1920 x 1080) variant
of one design.

How the screen uses it: it fills a panel of {246, 246, 246} first, draws its message list
(white lines on a dark band, low on the left) and then the background over both; after the
first frame the background is drawn with a blend mode that adds the source colour unweighted
(source factor ONE). So:
- below the header and above the bottom margin, wherever nothing is drawn, the image is
  fully transparent with colour 0, and the panel (and the messages) show through;
- what is drawn there is black at low opacity (shading the panel) or opaque;
- the file holds premultiplied colour, so both blend modes give the same picture.
The header and the bottom margin are opaque (outside the panel nothing else is drawn).
"""
from . import option_bar_images as bar
from . import palette as p
from .brand import draw_tile
from .paint import Canvas

HEADER_HEIGHT = 86
STAGE_BOTTOM = 600  # the panel covers at least y 25 .. height - 25 at any window height >= 300


def _header(c, layout, width):
    c.rect(0, 0, width, HEADER_HEIGHT, p.HEADER)
    c.rect(0, HEADER_HEIGHT, width, 1, p.HAIRLINE)
    c.rect(0, HEADER_HEIGHT + 1, width, 7,
           c.vertical_gradient(p.black(0.07), p.black(0.0), HEADER_HEIGHT + 1, HEADER_HEIGHT + 8))

    # Brand at the top right, mirroring the source button's left margin.
    brand = layout.value("PARAM_OTHER", "KALO_BRAND")
    right = width - layout.source_button()[0]
    cy = 16
    text_width = c.text_centered(right, cy, brand, 12, p.TEXT_TERTIARY, align="right")
    tile = 18
    draw_tile(c, right - text_width - 8 - tile, cy - tile / 2, tile)

    # Hairline separators between the groups of the option bar: half way between the end of
    # one group and the visible start of the next caption.
    sx, _, sw, _ = layout.source_button()
    groups = [("PARAM_FILTER_OPTION", bar.CAPTION_FILTER_TEXT, sx + sw),
              ("PARAM_OPTION_THREED", bar.CAPTION_THREED_TEXT, None),
              ("PARAM_OPTION_OUTPUT", bar.CAPTION_OUTPUT_TEXT, None)]
    previous_end = None
    for section, text, end in groups:
        cx, cyy, cw, ch = layout.caption(section)
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


def background(layout, scale):
    width, height = layout.window
    c = Canvas(width, height, scale)
    c.rect(0, STAGE_BOTTOM, width, height - STAGE_BOTTOM, p.SURFACE)
    _header(c, layout, width)
    _preview_well(c, layout)
    _info_slot(c, layout)
    return c
