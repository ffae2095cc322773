"""A reference sheet of every colour look on the sample picture and colour chart."""
import numpy as np
from PIL import Image, ImageDraw

from . import fonts, looks
from .sample_scene import color_chart, landscape


def sheet(recipes, titles=None, columns=4):
    """titles: look name -> the name the user sees in the filter menu."""
    titles = titles or {}
    land = landscape(480, 270)
    chart = color_chart(480, 160)
    source = Image.new("RGB", (480, 430))
    source.paste(land, (0, 0))
    source.paste(chart, (0, 270))
    src = np.asarray(source, float) / 255.0
    tiles = [("原图", source)]
    for r in recipes:
        out = looks.apply(r, src)
        tiles.append((f"{titles.get(r.name, '')} {r.name}".strip(), Image.fromarray(np.round(out * 255).astype(np.uint8), "RGB")))
    rows = (len(tiles) + columns - 1) // columns
    img = Image.new("RGB", (columns * 490 + 10, rows * 466 + 10), (36, 36, 36))
    d = ImageDraw.Draw(img)
    font = fonts.cjk(18)
    for i, (name, tile) in enumerate(tiles):
        x, y = 10 + (i % columns) * 490, 10 + (i // columns) * 466
        d.text((x, y), name, font=font, fill=(230, 230, 230))
        img.paste(tile, (x, y + 30))
    return img
