"""Images of the action area: convert and stop buttons, the ask-every-time check box and the
save-path box with its folder button."""
from . import palette as p
from .paint import Canvas

CONVERT_TEXT = "开始转换"
STOP_TEXT = "停止转换"
CHECK_TEXT = "每次询问保存位置"
SAVE_LABEL = "输出文件夹"
BUTTON_RADIUS = 11


def _big_button(width, height, top, bottom, border, icon, text, scale):
    """Convert and stop share one shape. The button paints its fill and label under the
    image, so the image is opaque: the corners carry the panel colour around the body, and a
    soft shadow sits inside the image's margin."""
    c = Canvas(width, height, scale, fill=p.SURFACE)
    x, y, w, h = 3, 2, width - 6, height - 6
    body = c.rounded_rect_mask(x, y, w, h, BUTTON_RADIUS)
    c.shadow(body, p.black(0.22), blur=2.2, dy=1.6)
    c.fill(body, border)
    inner = c.rounded_rect_mask(x + 1, y + 1, w - 2, h - 2, BUTTON_RADIUS - 1)
    c.fill(inner, c.vertical_gradient(top, bottom, y, y + h))
    # A light top edge: the button reads as raised rather than as a flat grey block.
    c.rect(x + BUTTON_RADIUS, y + 1, w - 2 * BUTTON_RADIUS, 1, p.white(0.40))

    size = 22
    icon_size = 22
    gap = 10
    text_width = c.text_width(text, size, "bold")
    total = icon_size + gap + text_width
    x0 = x + (w - total) / 2
    cy = y + h / 2
    shade = p.black(0.16)
    c.icon(x0 + icon_size / 2, cy + 1, icon, icon_size, shade)
    c.text_centered(x0 + icon_size + gap, cy + 1, text, size, shade, "bold", align="left")
    c.icon(x0 + icon_size / 2, cy, icon, icon_size, p.WHITE)
    c.text_centered(x0 + icon_size + gap, cy, text, size, p.WHITE, "bold", align="left")
    return c


def convert_button(width, height, scale=2):
    return _big_button(width, height, p.CONVERT_TOP, p.CONVERT_BOTTOM, p.CONVERT_BORDER,
                       p.ICON_ARROW, CONVERT_TEXT, scale)


def stop_button(width, height, scale=2):
    return _big_button(width, height, p.STOP_TOP, p.STOP_BOTTOM, p.STOP_BORDER,
                       p.ICON_STOP, STOP_TEXT, scale)


def check_box(width, height, ticked):
    c = Canvas(width, height, 1)
    box = 15
    bx, by = 1, (height - box) / 2
    outer = c.rounded_rect_mask(bx, by, box, box, 3.5)
    if ticked:
        c.fill(outer, p.GRAPHITE)
        c.icon(bx + box / 2, by + box / 2, p.ICON_CHECK, 12, p.WHITE)
    else:
        inner = c.rounded_rect_mask(bx + 1, by + 1, box - 2, box - 2, 2.5)
        c.fill(outer, (150, 150, 150, 255))
        c.fill(inner, p.WHITE)
    c.text_centered(bx + box + 6, height / 2, CHECK_TEXT, 13, p.TEXT_SECONDARY, align="left")
    return c


def save_path_box(width, height, text_x, button_x, button_w):
    """Label, path field and folder button in one image. text_x is where the screen draws the
    path line, button_x / button_w the folder button's hit area (image coordinates)."""
    c = Canvas(width, height, 1)
    cy = height / 2
    c.text_centered(5, cy, SAVE_LABEL, 14, p.TEXT_SECONDARY, align="left")
    fx = text_x - 11
    fw = width - fx - 1
    field = c.rounded_rect_mask(fx, 5, fw, height - 10, 7)
    c.shadow(field, p.black(0.06), blur=1.0, dy=0.8)
    c.fill(field, p.FIELD_BORDER)
    c.fill(c.rounded_rect_mask(fx + 1, 6, fw - 2, height - 12, 6), p.FIELD)
    # The folder button: a tinted end cap of the field with a divider.
    cap_x = button_x + 2
    c.fill(c.rounded_rect_mask(cap_x, 6, width - 2 - cap_x, height - 12, 6), (244, 244, 244, 255))
    c.rect(cap_x, 6, 7, height - 12, (244, 244, 244, 255))
    c.rect(cap_x, 6, 1, height - 12, (222, 222, 222, 255))
    c.icon(cap_x + (width - 2 - cap_x) / 2, cy, p.ICON_FOLDER, 18, (92, 92, 92, 255))
    return c
