"""Synthetic pictures for the design references: a dusk landscape standing in for a video
thumbnail, and a colour chart (greys, skin tones, primaries) for judging the colour looks."""
import numpy as np
from PIL import Image, ImageDraw, ImageFilter


def _smooth_noise(rng, w, h, cells):
    grid = rng.random((cells + 1, cells + 1))
    return np.asarray(Image.fromarray((grid * 255).astype(np.uint8)).resize((w, h), Image.BICUBIC),
                      float) / 255.0


def landscape(width=1280, height=720, seed=7):
    rng = np.random.default_rng(seed)
    y = np.linspace(0, 1, height)[:, None]
    x = np.linspace(0, 1, width)[None, :]
    horizon = 0.62
    # Sky: deep blue at the top through peach to a warm glow at the horizon.
    t = np.clip(y / horizon, 0, 1)
    top, mid, low = np.array([38, 74, 140]), np.array([214, 150, 160]), np.array([252, 196, 120])
    sky = np.where(t[..., None] < 0.6, top + (mid - top) * (t[..., None] / 0.6),
                   mid + (low - mid) * ((t[..., None] - 0.6) / 0.4))
    sky = np.broadcast_to(sky, (height, width, 3)).copy()
    sun_x, sun_y = 0.68, horizon - 0.2
    d = np.sqrt(((x - sun_x) * width / height) ** 2 + (y - sun_y) ** 2)
    sky += (np.clip(1 - d / 0.35, 0, 1) ** 2)[..., None] * np.array([60, 40, 10])
    sky = np.where((d < 0.045)[..., None], np.array([255, 240, 205]), sky)
    img = sky

    # Ridges, far to near, each darker and bluer.
    ridges = [(0.56, 0.07, (136, 112, 150)), (0.60, 0.08, (92, 76, 112)), (0.66, 0.09, (52, 48, 74))]
    for i, (base, amp, color) in enumerate(ridges):
        n = _smooth_noise(rng, width, 1, 9 + 4 * i)[0]
        ridge = base - amp * n
        mask = (y > ridge[None, :]) & (y < horizon + 0.02 + 0.02 * i)
        img = np.where(mask[..., None], np.array(color, float), img)

    # Water: a darkened, rippled reflection of the sky.
    water = y > horizon + 0.06
    mirror = np.clip(2 * (horizon + 0.06) - y, 0, 1)
    rows = np.clip((mirror[:, 0] * (height - 1)).astype(int), 0, height - 1)
    ripple = (np.sin(y * 900 + 2 * np.sin(x * 30)) * 0.5 + 0.5) * 0.10 + 0.78
    reflect = sky[rows, :, :] * ripple[..., None]
    img = np.where(water[..., None], reflect * np.array([0.86, 0.80, 0.92]), img)
    shore = (y > horizon + 0.02) & (y <= horizon + 0.06)
    img = np.where(shore[..., None], np.array([40, 38, 52], float), img)

    picture = Image.fromarray(np.clip(img, 0, 255).astype(np.uint8), "RGB")
    return picture.filter(ImageFilter.GaussianBlur(0.6))


# Patches in sRGB: a grey ramp, skin tones from light to dark, and strong colours.
GREYS = [(v, v, v) for v in (16, 48, 80, 112, 128, 144, 176, 208, 240)]
SKIN = [(241, 204, 178), (224, 172, 138), (194, 150, 130), (160, 112, 86), (115, 82, 68), (78, 52, 40)]
COLORS = [(196, 48, 44), (234, 132, 40), (232, 206, 60), (86, 160, 72), (40, 130, 160),
          (52, 76, 166), (132, 74, 158), (90, 124, 170), (170, 190, 80)]


def color_chart(width=540, height=180):
    img = Image.new("RGB", (width, height), (30, 30, 30))
    d = ImageDraw.Draw(img)
    for row, patches in enumerate((GREYS, SKIN, COLORS)):
        cell = width / len(patches)
        for i, color in enumerate(patches):
            d.rectangle([round(i * cell) + 2, row * 60 + 2, round((i + 1) * cell) - 3, row * 60 + 57],
                        fill=color)
    return img
