"""Design references: the converter screen and the preview window composed from the
generated assets the way the application draws them (panel, message lines, background with
its blend mode, every widget image at its configured rectangle, sample texts in the
configured fonts at their configured positions)."""
import os

import numpy as np
from PIL import Image, ImageDraw

from . import fonts
from . import option_bar_images as bar
from .layout import Layout
from .sample_scene import landscape

MAGENTA = (255, 0, 255, 255)
PANEL = (246, 246, 246, 255)


class Screen:
    def __init__(self, runtime_dir, size):
        self.runtime = runtime_dir
        self.image = Image.new("RGBA", size, MAGENTA)

    def load(self, path):
        return Image.open(os.path.join(self.runtime, path)).convert("RGBA")

    @staticmethod
    def _fit(img, w, h):
        if img.size == (w, h):
            return img
        shrinking = w < img.size[0] or h < img.size[1]
        return img.resize((max(w, 1), max(h, 1)), Image.BOX if shrinking else Image.BILINEAR)

    def fill(self, rect, color):
        x, y, w, h = rect
        layer = Image.new("RGBA", self.image.size, (0, 0, 0, 0))
        ImageDraw.Draw(layer).rectangle([x, y, x + w - 1, y + h - 1], fill=color)
        self.image = Image.alpha_composite(self.image, layer)

    def outline(self, rect, color):
        x, y, w, h = rect
        ImageDraw.Draw(self.image).rectangle([x, y, x + w - 1, y + h - 1], outline=color)

    def copy(self, img, rect):
        """SDL_RenderCopy with the blend mode SDL gives a texture that has alpha."""
        x, y, w, h = rect
        layer = Image.new("RGBA", self.image.size, (0, 0, 0, 0))
        layer.paste(self._fit(img, w, h), (x, y))
        self.image = Image.alpha_composite(self.image, layer)

    def copy_premultiplied(self, img, rect):
        """The background's blend mode: colour = source + destination x (1 - source alpha)."""
        x, y, w, h = rect
        src = np.asarray(self._fit(img, w, h), float)
        dst = np.asarray(self.image, float)
        region = dst[y:y + h, x:x + w]
        region[..., :3] = np.clip(src[..., :3] + region[..., :3] * (1 - src[..., 3:4] / 255), 0, 255)
        self.image = Image.fromarray(np.round(dst).astype(np.uint8), "RGBA")

    def text(self, x, y, text, point_size, color=(0, 0, 0, 255), font=None):
        """TTF_RenderUTF8_Blended placed with its top-left at (x, y); returns (w, h)."""
        font = font or fonts.cjk(point_size)
        ascent, descent = font.getmetrics()
        layer = Image.new("RGBA", self.image.size, (0, 0, 0, 0))
        ImageDraw.Draw(layer).text((x, y + ascent), text, font=font, fill=color, anchor="ls")
        self.image = Image.alpha_composite(self.image, layer)
        return round(font.getlength(text)), ascent + descent

    def save(self, path):
        self.image.convert("RGB").save(path, optimize=False, compress_level=9)


def _option_bar(s, layout, headers, expanded=None):
    left, middle, right = (s.load(f"image/pull_button_{k}.png") for k in "LMR")
    sections = ["PARAM_FILTER_OPTION", "PARAM_OPTION_THREED", "PARAM_OPTION_OUTPUT"]
    captions = ["image/min_size/filter_option.png", "image/min_size/threeDoption.png",
                "image/min_size/output_option.png"]
    for i, section in enumerate(sections):
        x, y, w, h = layout.menu(section)
        if i == 0:
            w, h = round(bar.filter_menu_width(layout)), 40
        w = max(w, left.width + middle.width + right.width)
        s.copy(left, (x, y, left.width, h))
        s.copy(middle, (x + left.width, y, w - left.width - right.width, h))
        s.copy(right, (x + w - right.width, y, right.width, h))
        s.text(x + 5, y + 2, headers[i], 20)
        if expanded and expanded[0] == i:
            rw, rh = layout.point(section, "optSize")
            for row, label in enumerate(expanded[1]):
                ry = y + h + 15 + row * (rh + 1)
                color = (240, 240, 240, 255) if row == expanded[3] else \
                    (160, 160, 160, 255) if row == expanded[2] else (200, 200, 200, 255)
                s.fill((x, ry, rw, rh), color)
                s.text(x, ry, label, 20)
    for section, path in zip(sections, captions):
        s.copy(s.load(path), layout.caption(section))


def _info_panel(s, layout, values):
    x, y, w, h = layout.info_panel()
    icons = [s.load(f"image/info_{k}.png") for k in ("time", "res", "size", "fmt")]
    s.text(x + 5, y + 10, layout.value("PARAM_VINFO", "msg_vinfo"), 20)
    cx = x + 5 + icons[0].width // 2 + 5
    s.copy(icons[0], (x + 5, y + 60, icons[0].width // 2, icons[0].height // 2))
    font13 = fonts.cjk(13)
    for i, value in enumerate(values):
        tw, _ = s.text(cx, y + 60, value, 13, font=font13)
        cx += tw + 5
        if i + 1 < len(icons):
            icon = icons[i + 1]
            s.copy(icon, (cx, y + 60, icon.width // 2, icon.height // 2))
            cx += icon.width // 2 + 5
    for grow in range(3):
        s.outline((x - grow, y - grow, w + 2 * grow, h + 2 * grow), (128, 128, 128, 255))


def _messages(s, lines, height):
    font = fonts.cjk(12)
    for i, line in enumerate(reversed(lines)):
        y = height - 150 - 20 * i
        tw, th = round(font.getlength(line)), sum(font.getmetrics())
        s.fill((20, y, tw, th), (0, 0, 0, 64))
        s.text(20, y, line, 12, (255, 255, 255, 255), font=font)


def converter_screen(runtime_dir, state, layout=None, window=None):
    """state: "idle" (no source), "loaded" (source open, pointer over the thumbnail, filter
    list open) or "converting" (stop button, progress, messages). window: a size the window
    was resized to; widgets keep their places, the background stretches, the convert button
    grows."""
    layout = layout or Layout()
    default_w, default_h = layout.window
    width, height = window or layout.window
    s = Screen(runtime_dir, (width, height))
    s.fill((0, 5, width, height - 50) if window is None else (0, 25, width, height - 50), PANEL)
    if state == "converting":
        _messages(s, ["当前输入文件夹为: /home/kalo/视频/海边日落.mp4",
                      "当前输出文件夹为: /home/kalo/视频/3D"], height)
    background = "image/background1080.png" if width >= 1281 else "image/background720.png"
    s.copy_premultiplied(s.load(background), (0, 0, width, height))

    s.copy(s.load("image/min_size/select_folder.png"), layout.source_button())
    filters = [row["name"] for row in layout.value("PARAM_CONVOPT", "filter")]
    modes = [row["name"] for row in layout.value("PARAM_CONVOPT", "mode")]
    outputs = [row["name"] for row in layout.value("PARAM_MOD", "array")]
    headers = [filters[0], modes[0], outputs[0]]
    expanded = (0, filters, 3, 5) if state == "loaded" else None
    if state == "loaded":
        headers[0] = filters[3]

    cover = "image/min_size/stopconv_button.png" if state == "converting" else \
        "image/min_size/conv_button.png"
    cx, cy, cw, ch = layout.convert_button()
    sx, sy = width / default_w, height / default_h
    if sx > 1:
        cw, ch = int(cw * sx), int(ch * sy)
    s.copy(s.load(cover), (cx, cy, cw, ch))
    s.copy(s.load("image/min_size/CHECHBOX_YES.png"), layout.check_box())
    s.copy(s.load("image/min_size/savepath.png"), layout.save_path_image())
    tx, ty = layout.path_text_position()
    path_text = "... /home/kalo/视频/3D" if state == "converting" else \
        layout.value("PARAM_OTHER", "KALO_OPEN")
    s.text(tx, ty, path_text, layout.value("PARAM_INPUTFILE", "fontSizemin"))

    if state != "idle":
        px, py, pw, ph = layout.preview_area()
        thumb = landscape()
        tw = int(thumb.width / thumb.height * ph)
        s.copy(thumb.convert("RGBA"), (px + (pw - tw) // 2, py, tw, ph))
        if state == "loaded":
            overlay = s.load("image/player_button.png")
            s.copy(overlay, (px + pw // 2 - overlay.width // 2, py + ph // 2 - overlay.height // 2,
                             overlay.width, overlay.height))
    _option_bar(s, layout, headers, expanded)
    if state != "idle":
        _info_panel(s, layout, ["00:02:48", "1920x1080", "86.4 MB", "h264 / mp4"])
    if state == "converting":
        bx, by, bw, bh = layout.progress_bar()
        s.copy(s.load("image/progress_bg.png"), (bx, by, bw, bh))
        s.copy(s.load("image/progress.png"), (bx, by, int(bw * 0.62), bh))
        s.text(1048, by, "62% 剩余2 分钟.", 11)
    return s


def preview_window(runtime_dir, width=880, height=540, value=0.35, playing=True):
    s = Screen(runtime_dir, (width, height))
    s.fill((0, 0, width, height), (64, 64, 64, 255))
    video_h = height - 65
    thumb = landscape()
    vw = int(thumb.width / thumb.height * video_h)
    s.copy(thumb.convert("RGBA"), ((width - vw) // 2, 0, vw, video_h))
    s.fill((0, height - 55, width, 10), (16, 16, 16, 255))
    track_y = height - 60 + (20 - 4) // 2
    knob_x = int(width * value)
    s.fill((0, track_y, knob_x, 4), (180, 180, 180, 255))
    s.copy(s.load("image/media-Rect-stick.png"), (knob_x, height - 60, 22, 22))
    button = "image/pas_button720.png" if playing else "image/play_button720.png"
    s.copy(s.load(button), (width // 2 + 20, height - 40, 40, 40))
    return s


def generate(runtime_dir, design_dir):
    os.makedirs(design_dir, exist_ok=True)
    layout = Layout()
    for state in ("idle", "loaded", "converting"):
        converter_screen(runtime_dir, state, layout).save(
            os.path.join(design_dir, f"converter_{state}.png"))
    converter_screen(runtime_dir, "converting", layout, window=(1920, 1080)).save(
        os.path.join(design_dir, "converter_wide.png"))
    preview_window(runtime_dir).save(os.path.join(design_dir, "preview_window.png"))
