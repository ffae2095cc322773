"""Colour looks: a short recipe per look (sources/looks/<Name>.look) and the pipeline that
applies it to gamma-encoded RGB values in 0..1.

Recipe keys (section [look]; all optional):
  warmth      -0.1 .. 0.1   white balance: + warmer (red up, blue down), - cooler
  monochrome  r g b         turn to grey with these channel weights
  contrast    -1 .. 1       S-curve around mid-grey (negative flattens)
  curve       x y, x y, ... tone curve through points, monotone (also red / green / blue)
  fade        0 .. 0.2      lift the blacks to this level
  shadows     hue strength  split toning: tint the shadows with a hue (degrees)
  highlights  hue strength  ... and the highlights
  saturation  0 .. 2        overall colourfulness
  vibrance    0 .. 1        extra colour for dull colours only
Skin tones are protected: saturation gains and tints are eased off for skin hues.
"""
import configparser
import os
from dataclasses import dataclass, field

import numpy as np

LUMA = np.array([0.2126, 0.7152, 0.0722])


@dataclass
class Recipe:
    name: str
    warmth: float = 0.0
    monochrome: tuple = None
    contrast: float = 0.0
    curves: dict = field(default_factory=dict)   # "master" / "red" / "green" / "blue" -> points
    fade: float = 0.0
    shadows: tuple = (0.0, 0.0)
    highlights: tuple = (0.0, 0.0)
    saturation: float = 1.0
    vibrance: float = 0.0


def _numbers(text):
    return tuple(float(v) for v in text.replace(",", " ").split())


def _points(text):
    pts = [tuple(float(v) for v in pair.split()) for pair in text.split(",")]
    xs = [x for x, _ in pts]
    if xs != sorted(xs) or xs[0] != 0 or xs[-1] != 1:
        raise ValueError(f"curve points must run from x = 0 to x = 1 in order: {text}")
    return pts


def read_recipe(path):
    parser = configparser.ConfigParser(inline_comment_prefixes=("#",))
    with open(path, encoding="utf-8") as f:
        parser.read_file(f)
    s = parser["look"]
    known = {"warmth", "monochrome", "contrast", "curve", "red", "green", "blue", "fade",
             "shadows", "highlights", "saturation", "vibrance"}
    unknown = set(s) - known
    if unknown:
        raise ValueError(f"{path}: unknown keys {sorted(unknown)}")
    r = Recipe(os.path.splitext(os.path.basename(path))[0])
    r.warmth = s.getfloat("warmth", 0.0)
    r.monochrome = _numbers(s["monochrome"]) if "monochrome" in s else None
    r.contrast = s.getfloat("contrast", 0.0)
    for key, channel in (("curve", "master"), ("red", "red"), ("green", "green"), ("blue", "blue")):
        if key in s:
            r.curves[channel] = _points(s[key])
    r.fade = s.getfloat("fade", 0.0)
    r.shadows = _numbers(s["shadows"]) if "shadows" in s else (0.0, 0.0)
    r.highlights = _numbers(s["highlights"]) if "highlights" in s else (0.0, 0.0)
    r.saturation = s.getfloat("saturation", 1.0)
    r.vibrance = s.getfloat("vibrance", 0.0)
    return r


def monotone_curve(points, x):
    """Monotone cubic (Fritsch-Carlson) through the points, evaluated at x."""
    px = np.array([p[0] for p in points])
    py = np.array([p[1] for p in points])
    if len(px) == 2:
        return np.interp(x, px, py)
    h = np.diff(px)
    delta = np.diff(py) / h
    m = np.zeros_like(px)
    m[0], m[-1] = delta[0], delta[-1]
    for i in range(1, len(px) - 1):
        m[i] = 0.0 if delta[i - 1] * delta[i] <= 0 else \
            3 * (h[i - 1] + h[i]) / ((2 * h[i] + h[i - 1]) / delta[i - 1] + (h[i] + 2 * h[i - 1]) / delta[i])
    i = np.clip(np.searchsorted(px, x, side="right") - 1, 0, len(px) - 2)
    t = (x - px[i]) / h[i]
    h00, h10 = 2 * t**3 - 3 * t**2 + 1, t**3 - 2 * t**2 + t
    h01, h11 = -2 * t**3 + 3 * t**2, t**3 - t**2
    return h00 * py[i] + h10 * h[i] * m[i] + h01 * py[i + 1] + h11 * h[i] * m[i + 1]


def hue_of(rgb):
    """HSV hue in degrees and saturation (max - min) / max of each colour."""
    mx, mn = rgb.max(-1), rgb.min(-1)
    c = mx - mn
    r, g, b = rgb[..., 0], rgb[..., 1], rgb[..., 2]
    safe = np.where(c > 1e-9, c, 1.0)
    hue = np.where(mx == r, ((g - b) / safe) % 6, np.where(mx == g, (b - r) / safe + 2, (r - g) / safe + 4))
    return np.where(c > 1e-9, hue * 60.0, 0.0), np.where(mx > 1e-9, c / np.where(mx > 1e-9, mx, 1), 0.0)


def skin_weight(rgb):
    """0..1: how much a colour looks like skin (orange hues of moderate saturation)."""
    hue, sat = hue_of(rgb)
    d = np.minimum(np.abs(hue - 24.0), 360 - np.abs(hue - 24.0))
    hue_w = np.exp(-0.5 * (d / 14.0) ** 2)
    sat_w = np.clip((sat - 0.08) / 0.1, 0, 1) * np.clip((0.75 - sat) / 0.2, 0, 1)
    return hue_w * sat_w


def hue_color(degrees):
    h = (degrees % 360) / 60.0
    x = 1 - abs(h % 2 - 1)
    table = [(1, x, 0), (x, 1, 0), (0, 1, x), (0, x, 1), (x, 0, 1), (1, 0, x)]
    return np.array(table[int(h) % 6], float)


def _tint(rgb, hue, strength, weight):
    """Push the colours towards a hue without changing their luminance."""
    if strength == 0:
        return rgb
    t = hue_color(hue)
    direction = t - LUMA @ t
    return rgb + (strength * weight)[..., None] * direction


def apply(recipe, rgb):
    """Apply a look to an array (..., 3) of gamma-encoded RGB in 0..1."""
    rgb = np.asarray(rgb, float)
    skin = skin_weight(rgb)
    protect = 1 - 0.7 * skin

    out = rgb * np.array([1 + recipe.warmth, 1 + 0.15 * recipe.warmth, 1 - recipe.warmth])
    if recipe.monochrome:
        weights = np.array(recipe.monochrome) / sum(recipe.monochrome)
        out = np.repeat((out @ weights)[..., None], 3, -1)
    out = np.clip(out, 0, 1)

    if recipe.contrast:
        s_curve = out * out * (3 - 2 * out)
        out = out + recipe.contrast * (s_curve - out)
    if "master" in recipe.curves:
        out = monotone_curve(recipe.curves["master"], out)
    for i, channel in enumerate(("red", "green", "blue")):
        if channel in recipe.curves:
            out[..., i] = monotone_curve(recipe.curves[channel], out[..., i])
    out = recipe.fade + (1 - recipe.fade) * np.clip(out, 0, 1)

    y = np.clip(out @ LUMA, 0, 1)
    out = _tint(out, recipe.shadows[0], recipe.shadows[1], (1 - y) ** 2 * protect)
    out = _tint(out, recipe.highlights[0], recipe.highlights[1], y ** 2 * protect)

    if recipe.saturation != 1 or recipe.vibrance:
        y = out @ LUMA
        _, sat = hue_of(np.clip(out, 0, 1))
        factor = recipe.saturation * (1 + recipe.vibrance * (1 - sat) ** 2)
        # Skin keeps most of its colour either way: gains are eased off more than losses.
        factor = np.where(factor > 1, 1 + (factor - 1) * protect,
                          1 - (1 - factor) * (1 - 0.5 * skin))
        out = y[..., None] + (out - y[..., None]) * factor[..., None]
    return np.clip(out, 0, 1)


def read_all(folder):
    return [read_recipe(os.path.join(folder, n)) for n in sorted(os.listdir(folder))
            if n.endswith(".look")]
