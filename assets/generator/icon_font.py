"""Builds the icon font (fontello.ttf) from the SVG glyphs in sources/icons.

Each file <hex code point>-<name>.svg holds filled paths on a 1000 x 1000 box (y down) with
the even-odd fill rule, so holes need no particular path direction. TrueType fills by the
non-zero rule, so every contour is re-oriented by its nesting depth: even depth clockwise
(ink), odd depth counter-clockwise (hole). Contours must not cross each other.
The output is byte-for-byte reproducible: fixed timestamps, sorted glyphs.
"""
import os
import re
import xml.etree.ElementTree as ET

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.areaPen import AreaPen
from fontTools.pens.cu2quPen import Cu2QuPen
from fontTools.pens.pointInsidePen import PointInsidePen
from fontTools.pens.recordingPen import RecordingPen
from fontTools.pens.reverseContourPen import ReverseContourPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.svgLib.path import parse_path

UNITS_PER_EM = 1000
ASCENT = 850           # the 1000-unit SVG box maps onto the line box: y_font = ASCENT - y_svg
DESCENT = 150
FIXED_TIME = 3_786_825_600  # 2024-01-01, seconds since 1904: keeps the build reproducible
FAMILY = "KALO Icons"
SVG_NS = "{http://www.w3.org/2000/svg}"


def read_glyph_sources(folder):
    """[(code point, glyph name, [path data])], sorted by code point."""
    glyphs = []
    for name in sorted(os.listdir(folder)):
        match = re.fullmatch(r"([0-9a-fA-F]{4,6})-([a-z0-9-]+)\.svg", name)
        if not match:
            continue
        root = ET.parse(os.path.join(folder, name)).getroot()
        paths = [p.get("d") for p in root.iter(SVG_NS + "path")]
        glyphs.append((int(match.group(1), 16), "icon-" + match.group(2), paths))
    return sorted(glyphs)


def split_contours(paths):
    """Every closed contour of the paths as its own recording, in font coordinates."""
    recording = RecordingPen()
    flip = TransformPen(recording, (1, 0, 0, -1, 0, ASCENT))
    for d in paths:
        parse_path(d, flip)
    contours, current = [], []
    for op, args in recording.value:
        current.append((op, args))
        if op in ("closePath", "endPath"):
            contours.append(current)
            current = []
    return contours


def replay(contour, pen):
    for op, args in contour:
        getattr(pen, op)(*args)


def signed_area(contour):
    pen = AreaPen()
    replay(contour, pen)
    return pen.value


def nesting_depth(contour, others):
    """How many other contours enclose the first point of this one."""
    x, y = contour[0][1][0]
    depth = 0
    for other in others:
        pen = PointInsidePen(None, (x, y), evenOdd=True)
        replay(other, pen)
        depth += pen.getResult()
    return depth


def build_glyph(paths):
    contours = split_contours(paths)
    pen = TTGlyphPen(None)
    quadratic = Cu2QuPen(pen, max_err=1.0, reverse_direction=False)
    for i, contour in enumerate(contours):
        depth = nesting_depth(contour, contours[:i] + contours[i + 1:])
        # AreaPen reports clockwise contours (y up) as negative.
        clockwise = signed_area(contour) < 0
        wants_clockwise = depth % 2 == 0
        target = quadratic if clockwise == wants_clockwise else ReverseContourPen(quadratic)
        replay(contour, target)
    return pen.glyph()


def build(source_folder, output_path):
    sources = read_glyph_sources(source_folder)
    order = [".notdef", "space"] + [name for _, name, _ in sources]
    empty = TTGlyphPen(None).glyph()
    glyphs = {".notdef": empty, "space": empty}
    cmap = {0x20: "space"}
    for code, name, paths in sources:
        glyphs[name] = build_glyph(paths)
        cmap[code] = name

    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.font.recalcTimestamp = False
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    metrics = {}
    for name in order:
        glyph = glyphs[name]
        glyph.recalcBounds(fb.font["glyf"])
        lsb = getattr(glyph, "xMin", 0) if name not in (".notdef", "space") else 0
        metrics[name] = (UNITS_PER_EM if name != "space" else UNITS_PER_EM // 4, lsb)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT)
    fb.setupNameTable({
        "familyName": FAMILY,
        "styleName": "Regular",
        "uniqueFontIdentifier": FAMILY + " Regular 1.0",
        "fullName": FAMILY + " Regular",
        "version": "Version 1.000",
        "psName": "KALOIcons-Regular",
        "copyright": "Icon glyphs drawn for the KALO converter",
    })
    fb.setupOS2(sTypoAscender=ASCENT, sTypoDescender=-DESCENT, sTypoLineGap=0,
                usWinAscent=ASCENT, usWinDescent=DESCENT, achVendID="KALO",
                fsType=0, version=4)
    fb.setupPost()
    fb.setupHead(unitsPerEm=UNITS_PER_EM, created=FIXED_TIME, modified=FIXED_TIME)
    fb.font["head"].created = FIXED_TIME
    fb.font["head"].modified = FIXED_TIME
    os.makedirs(os.path.dirname(output_path), exist_ok=True)
    fb.save(output_path)
    return [code for code, _, _ in sources]
