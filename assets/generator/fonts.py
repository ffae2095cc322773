"""Fonts of the image generators: faces of the Noto Sans CJK collections and our icon font."""
import functools
import os

from PIL import ImageFont

from . import palette
from .font_faces import face_index

_icon_font_path = os.path.join(os.path.dirname(__file__), "..", "runtime", "font", "fontello.ttf")


def use_icon_font(path):
    """Draw icons from this icon font file (the one just built)."""
    global _icon_font_path
    _icon_font_path = path
    icons.cache_clear()


@functools.lru_cache(maxsize=None)
def cjk(size, weight="regular"):
    """The CJK text font at a pixel size (SDL_ttf point sizes are pixel sizes at 72 dpi)."""
    path = {"regular": palette.CJK_REGULAR, "medium": palette.CJK_MEDIUM,
            "bold": palette.CJK_BOLD}[weight]
    return ImageFont.truetype(path, size, index=face_index(path, palette.CJK_FACE_NAME))


@functools.lru_cache(maxsize=None)
def icons(size):
    return ImageFont.truetype(_icon_font_path, size)
