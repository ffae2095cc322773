"""Images of the option bar: the three captions, the pull-down header slices and the
source-file button that sits at the left end of the bar."""
from . import fonts, palette as p
from .paint import Canvas, ink_box

HEADER_FONT_SIZE = 20      # the bar's pull-down labels are drawn at 20 points
HEADER_LABEL_DY = 2        # ... at (x + 5, y + 2) of the header
CAPTION_TEXT_SIZE = 15
CAPTION_ICON_SIZE = 16
CAPTION_GAP_TO_MENU = 9
SLICE_HEIGHT = 36
SLICE_LEFT, SLICE_MIDDLE, SLICE_RIGHT = 8, 4, 22
FIELD_RADIUS = 7


def header_text_center():
    """Vertical centre of the ink of a pull-down header's label, from the header's top edge:
    captions put their text on the same line."""
    font = fonts.cjk(HEADER_FONT_SIZE)
    ascent, _ = font.getmetrics()
    _, top, _, bottom = ink_box(font, "国")
    return HEADER_LABEL_DY + ascent + (top + bottom) / 2


def caption(width, height, icon, text, scale=2):
    """A label image right-aligned against the pull-down that follows it."""
    c = Canvas(width, height, scale)
    cy = header_text_center()
    right = width - CAPTION_GAP_TO_MENU
    text_width = c.text_centered(right, cy, text, CAPTION_TEXT_SIZE, p.TEXT_SECONDARY,
                                 align="right")
    c.icon(right - text_width - 6 - CAPTION_ICON_SIZE / 2, cy, icon, CAPTION_ICON_SIZE, p.ICON_MUTED)
    return c


def caption_content_width(text):
    """Width of a caption's icon, text and gap, in default-window pixels."""
    return fonts.cjk(CAPTION_TEXT_SIZE).getlength(text) + 6 + CAPTION_ICON_SIZE + CAPTION_GAP_TO_MENU


def light_control(c, x, y, w, h, r):
    """The shared look of the bar's light controls: a faint top-to-bottom gradient inside a
    grey border."""
    body = c.rounded_rect_mask(x, y, w, h, r)
    inner = c.rounded_rect_mask(x + 1, y + 1, w - 2, h - 2, r - 1)
    c.fill(body, p.CONTROL_BORDER)
    c.fill(inner, c.vertical_gradient(p.CONTROL_TOP, p.CONTROL_BOTTOM, y, y + h))
    return body


def pull_down_slices():
    """Left, middle and right slices of a pull-down header (drawn at their natural width and
    stretched to the header's height; the middle one also to its width)."""
    width = SLICE_LEFT + SLICE_MIDDLE + SLICE_RIGHT
    c = Canvas(width, SLICE_HEIGHT, 1)
    light_control(c, 0, 0, width, SLICE_HEIGHT, FIELD_RADIUS)
    # A hairline divider before the chevron, like a combo box's button.
    c.rect(width - SLICE_RIGHT, 8, 1, SLICE_HEIGHT - 16, (226, 226, 226, 255))
    c.icon(width - SLICE_RIGHT / 2 + 0.5, SLICE_HEIGHT / 2 + 1, p.ICON_CHEVRON, 11,
           (104, 104, 104, 255))
    img = c.image
    return (img.crop((0, 0, SLICE_LEFT, SLICE_HEIGHT)),
            img.crop((SLICE_LEFT, 0, SLICE_LEFT + SLICE_MIDDLE, SLICE_HEIGHT)),
            img.crop((SLICE_LEFT + SLICE_MIDDLE, 0, width, SLICE_HEIGHT)))


SOURCE_BUTTON_TEXT = "选择视频文件"
CAPTION_FILTER_TEXT = "滤镜"
CAPTION_THREED_TEXT = "3D 模式"
CAPTION_OUTPUT_TEXT = "输出"


def source_button(width, height):
    """The source-file button: drawn at its configured rectangle, never scaled."""
    c = Canvas(width, height, 1)
    body = c.rounded_rect_mask(0, 0, width, height, FIELD_RADIUS)
    inner = c.rounded_rect_mask(1, 1, width - 2, height - 2, FIELD_RADIUS - 1)
    c.fill(body, (58, 58, 58, 255))
    c.fill(inner, c.vertical_gradient((92, 92, 92, 255), (66, 66, 66, 255), 0, height))
    c.rect(FIELD_RADIUS, 1, width - 2 * FIELD_RADIUS, 1, p.white(0.14))
    size = 14
    text_width = c.text_width(SOURCE_BUTTON_TEXT, size, "medium")
    icon = 16
    total = icon + 8 + text_width
    x0 = (width - total) / 2
    cy = height / 2
    c.icon(x0 + icon / 2, cy, p.ICON_FOLDER_PLUS, icon, p.WHITE)
    c.text_centered(x0 + icon + 8, cy, SOURCE_BUTTON_TEXT, size, p.WHITE, "medium", align="left")
    return c


def filter_menu_width(layout):
    """The screen widens the filter menu to its longest label + 30, measuring each label's
    UTF-8 bytes as Latin-1 text in the bar's 20-point font."""
    font = fonts.cjk(HEADER_FONT_SIZE)
    names = [row["name"] for row in layout.value("PARAM_CONVOPT", "filter")]
    return max(font.getlength(n.encode("utf-8").decode("latin-1")) for n in names) + 30
