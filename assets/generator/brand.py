"""The product mark: anaglyph 3D glasses (a red and a cyan lens) on a graphite tile."""
from . import palette as p
from .paint import Canvas

# Lens holes of the glasses glyph (sources/icons/e804-glasses.svg), in its 1000-unit box,
# and the centre of the glyph's ink.
LEFT_LENS = (155, 395, 265, 220)
RIGHT_LENS = (580, 395, 265, 220)
GLYPH_INK_CENTER = (500, 505)


def draw_glasses(c, cx, cy, em):
    """Glasses of em size `em` centred on (cx, cy): coloured lenses under a white frame."""
    def lens(box, color):
        x, y, w, h = box
        gx = cx + (x - GLYPH_INK_CENTER[0]) * em / 1000
        gy = cy + (y - GLYPH_INK_CENTER[1]) * em / 1000
        grow = em * 0.02  # tuck the lens edge under the frame
        c.rounded_rect(gx - grow, gy - grow, w * em / 1000 + 2 * grow, h * em / 1000 + 2 * grow,
                       em * 0.05, color)
    lens(LEFT_LENS, p.ANAGLYPH_RED)
    lens(RIGHT_LENS, p.ANAGLYPH_CYAN)
    c.icon(cx, cy, p.ICON_GLASSES, em, p.WHITE)


def draw_tile(c, x, y, size):
    radius = size * 0.22
    tile = c.rounded_rect_mask(x, y, size, size, radius)
    c.fill(tile, c.vertical_gradient((92, 92, 92, 255), (40, 40, 40, 255), y, y + size))
    draw_glasses(c, x + size / 2, y + size / 2 + size * 0.02, size * 0.78)


def logo(size):
    c = Canvas(size, size, 1)
    draw_tile(c, 0, 0, size)
    return c
