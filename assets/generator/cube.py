"""Writes a look as a 33-point 3D LUT in the .cube format that FFmpeg's lut3d reads, after
checking that the look keeps mid-grey grey, the grey scale rising and skin tones natural."""
import os

import numpy as np

from . import looks

SIZE = 33


def lattice(size=SIZE):
    """Input colours of the lattice in file order: red changes fastest, then green, blue."""
    v = np.linspace(0.0, 1.0, size)
    b, g, r = np.meshgrid(v, v, v, indexing="ij")
    return np.stack([r, g, b], -1).reshape(-1, 3)


def check(recipe):
    """Raise ValueError when a look damages the picture."""
    grey = np.linspace(0, 1, 21)[:, None].repeat(3, 1)
    out = looks.apply(recipe, grey)
    y = out @ looks.LUMA
    mid = looks.apply(recipe, np.array([0.5, 0.5, 0.5]))
    problems = []
    if np.any(np.diff(y) <= 0):
        problems.append("the grey scale does not rise everywhere")
    if not 0.40 <= mid @ looks.LUMA <= 0.66:
        problems.append(f"mid-grey maps to luminance {mid @ looks.LUMA:.3f}")
    if mid.max() - mid.min() > 0.08:
        problems.append(f"mid-grey takes a colour cast {mid}")
    if y[14] - y[6] < 0.3:  # input 0.3 .. 0.7: the mid-tones keep their spread
        problems.append("mid-tones are crushed")
    if not recipe.monochrome:
        skin = np.array([[241, 204, 178], [224, 172, 138], [194, 150, 130], [160, 112, 86],
                         [115, 82, 68]]) / 255.0
        hue_in, sat_in = looks.hue_of(skin)
        hue_out, sat_out = looks.hue_of(looks.apply(recipe, skin))
        shift = np.abs((hue_out - hue_in + 180) % 360 - 180)
        if shift.max() > 10:
            problems.append(f"skin hues shift by up to {shift.max():.1f} degrees")
        if np.any(sat_out > sat_in * 1.35 + 0.02) or np.any(sat_out < sat_in * 0.6):
            problems.append("skin saturation changes too much")
    if problems:
        raise ValueError(f"{recipe.name}: " + "; ".join(problems))


def cube_text(recipe, size=SIZE):
    values = looks.apply(recipe, lattice(size))
    lines = [f"# {recipe.name}: generated from sources/looks/{recipe.name}.look; do not edit",
             f'TITLE "{recipe.name}"', f"LUT_3D_SIZE {size}",
             "DOMAIN_MIN 0.0 0.0 0.0", "DOMAIN_MAX 1.0 1.0 1.0"]
    lines += [f"{r:.5f} {g:.5f} {b:.5f}" for r, g, b in values]
    return "\n".join(lines) + "\n"


def write(recipe, folder):
    check(recipe)
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, recipe.name + ".cube")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(cube_text(recipe))
    return path
