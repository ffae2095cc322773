"""Extracts one face of Debian's Noto Sans CJK collection (a .ttc) into a single OpenType
font file, unchanged: the application opens a plain font file by a fixed name.

The Simplified Chinese face ("Noto Sans CJK SC") is the one for this user interface: the
collection's faces share their glyphs and differ in which regional form a code point shows,
and SC shows the mainland forms that Simplified Chinese text expects.
"""
import os

from fontTools.ttLib import TTFont

from .font_faces import face_index

DEFAULT_COLLECTION = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"
DEFAULT_FACE = "Noto Sans CJK SC"


def extract(collection, face, output):
    font = TTFont(collection, fontNumber=face_index(collection, face), lazy=True,
                  recalcTimestamp=False, recalcBBoxes=False)
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    partial = output + ".part"
    font.save(partial, reorderTables=False)
    os.replace(partial, output)
