"""Images that report state: the conversion progress bar and the icons of the source
information panel."""
from . import palette as p
from .paint import Canvas

BAR_INSET = 3  # the filled bar sits inside the track, clear of its border


def progress_track(width, height, scale=2):
    """Background of the progress bar, stretched over the whole bar rectangle."""
    c = Canvas(width, height, scale)
    outer = c.rounded_rect_mask(0, 0, width, height, 4)
    inner = c.rounded_rect_mask(1, 1, width - 2, height - 2, 3)
    c.fill(outer, p.TRACK_BORDER)
    c.fill(inner, p.TRACK)
    c.rect(4, 1, width - 8, 1, p.black(0.05))  # a hint of depth under the top edge
    return c


def progress_fill(height, scale=2, width=4):
    """The done part of the bar; stretched horizontally to any width, so nothing in it
    varies along x."""
    c = Canvas(width, height, scale)
    y0, y1 = BAR_INSET, height - BAR_INSET
    c.rect(0, y0, width, y1 - y0, c.vertical_gradient((104, 104, 104, 255), p.GRAPHITE_DARK,
                                                       y0, y1))
    c.rect(0, y0, width, 1, p.white(0.16))
    return c


def info_icon(code, size=24, scale=2):
    """A small tile with a glyph; the panel draws it at half its pixel size."""
    c = Canvas(size, size, scale)
    c.rounded_rect(0, 0, size, size, 6, p.WHITE, border=(222, 222, 222, 255), border_width=0.5)
    c.icon(size / 2, size / 2, code, 15, p.GRAPHITE)
    return c
