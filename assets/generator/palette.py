"""Design tokens shared by every generated image: colours, fonts, radii.

The screen is a light theme. The configuration fixes a few colours (panel, progress bar,
convert and stop buttons); everything else here is chosen to sit with them.
"""
import os

# Colours as (r, g, b, a).
SURFACE = (246, 246, 246, 255)        # the panel colour the screen fills behind the background
HEADER = (255, 255, 255, 255)
HAIRLINE = (224, 224, 224, 255)
SEPARATOR = (232, 232, 232, 255)
TEXT = (38, 38, 38, 255)
TEXT_SECONDARY = (96, 96, 96, 255)
TEXT_TERTIARY = (150, 150, 150, 255)
ICON_MUTED = (128, 128, 128, 255)
GRAPHITE = (75, 75, 75, 255)           # the progress bar colour, used as the dark accent
GRAPHITE_DARK = (52, 52, 52, 255)
FIELD = (255, 255, 255, 255)
FIELD_BORDER = (206, 206, 206, 255)
CONTROL_TOP = (255, 255, 255, 255)     # light controls: a faint vertical gradient
CONTROL_BOTTOM = (243, 243, 243, 255)
CONTROL_BORDER = (200, 200, 200, 255)
TRACK = (242, 242, 242, 255)           # progress background colour of the configuration
TRACK_BORDER = (214, 214, 214, 255)
CONVERT_TOP = (170, 170, 170, 255)     # the #a4a4a4 family of the convert button
CONVERT_BOTTOM = (132, 132, 132, 255)
CONVERT_BORDER = (118, 118, 118, 255)
STOP_TOP = (240, 78, 68, 255)
STOP_BOTTOM = (212, 44, 38, 255)
STOP_BORDER = (182, 34, 30, 255)
WHITE = (255, 255, 255, 255)
BLACK = (0, 0, 0, 255)
ANAGLYPH_RED = (232, 58, 58, 255)
ANAGLYPH_CYAN = (38, 190, 214, 255)


def black(alpha):
    """Black at a share of full opacity; on the panel it reads as a shade of grey."""
    return (0, 0, 0, round(255 * alpha))


def white(alpha):
    return (255, 255, 255, round(255 * alpha))


# Fonts. Text inside images uses the application's CJK font (Noto Sans CJK, Simplified Chinese
# face); weights other than Regular come from the same family.
NOTO_DIR = os.environ.get("KALO_NOTO_DIR", "/usr/share/fonts/opentype/noto")
CJK_FACE_NAME = "Noto Sans CJK SC"
CJK_REGULAR = os.path.join(NOTO_DIR, "NotoSansCJK-Regular.ttc")
CJK_MEDIUM = os.path.join(NOTO_DIR, "NotoSansCJK-Medium.ttc")
CJK_BOLD = os.path.join(NOTO_DIR, "NotoSansCJK-Bold.ttc")

# Code points of our icon font (sources/icons/<code>-<name>.svg).
ICON_PLAY = 0xE800
ICON_PAUSE = 0xE801
ICON_FOLDER_PLUS = 0xE802
ICON_FILTER = 0xE803
ICON_GLASSES = 0xE804
ICON_EXPORT = 0xE805
ICON_CHECK = 0xE806
ICON_CHEVRON = 0xE807
ICON_FILM = 0xE808
ICON_STOP = 0xE809
ICON_CLOCK = 0xE80A
ICON_RESOLUTION = 0xE80B
ICON_FILE = 0xE80C
ICON_DROP = 0xE80D
ICON_INFO = 0xE80E
ICON_ARROW = 0xE810
ICON_FOLDER = 0xF4C2
