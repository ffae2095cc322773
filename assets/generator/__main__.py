"""Command line of the asset generators.

  python3 -m generator committed --runtime DIR --design DIR   images, icon font, window icon
                                                              and design references
  python3 -m generator luts --looks DIR --out DIR             the .cube files
  python3 -m generator cjk-font --collection TTC --out OTF    the CJK text font
"""
import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ASSETS = os.path.dirname(HERE)


# Imports are local: the build-time steps (luts, cjk-font) must not need Pillow.
def committed(runtime, design):
    from . import design_reference, fonts, icon_font, images, looks, looks_sheet, window_icon
    from .layout import Layout
    icon_font_path = os.path.join(runtime, "font", "fontello.ttf")
    icon_font.build(os.path.join(ASSETS, "sources", "icons"), icon_font_path)
    fonts.use_icon_font(icon_font_path)
    images.generate(Layout(), runtime)
    os.makedirs(os.path.join(runtime, "icon"), exist_ok=True)
    window_icon.write(os.path.join(runtime, "icon", "KALO_ICON.bmp"))
    design_reference.generate(runtime, design)
    recipes = looks.read_all(os.path.join(ASSETS, "sources", "looks"))
    titles = {os.path.splitext(row["file"])[0]: row["name"]
              for row in Layout().value("PARAM_CONVOPT", "filter") if row["file"]}
    looks_sheet.sheet(recipes, titles).save(os.path.join(design, "looks.png"), compress_level=9)


def main(argv):
    parser = argparse.ArgumentParser(prog="generator")
    sub = parser.add_subparsers(dest="command", required=True)
    c = sub.add_parser("committed")
    c.add_argument("--runtime", default=os.path.join(ASSETS, "runtime"))
    c.add_argument("--design", default=os.path.join(ASSETS, "design"))
    lut = sub.add_parser("luts")
    lut.add_argument("--looks", default=os.path.join(ASSETS, "sources", "looks"))
    lut.add_argument("--out", required=True)
    font = sub.add_parser("cjk-font")
    font.add_argument("--collection", default=None)
    font.add_argument("--face", default=None)
    font.add_argument("--out", required=True)
    args = parser.parse_args(argv)

    if args.command == "committed":
        committed(args.runtime, args.design)
    elif args.command == "luts":
        from . import cube, looks
        for recipe in looks.read_all(args.looks):
            cube.write(recipe, args.out)
    elif args.command == "cjk-font":
        from . import cjk_font
        cjk_font.extract(args.collection or cjk_font.DEFAULT_COLLECTION,
                         args.face or cjk_font.DEFAULT_FACE, args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
