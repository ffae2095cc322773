"""Every image the UI document names, and what draws it.

Sizes: images drawn at a fixed rectangle are made at that size (1x, where FreeType's hinting
keeps small text crisp); images the screen scales (the convert buttons grow with the window,
the progress images stretch, the info icons are drawn at half size, the 1080 play / pause
images scale up) are made at twice the size they are drawn at.
"""
import os

from . import action_images as act
from . import option_bar_images as bar
from . import palette as p
from . import player_images as player
from . import status_images as status
from .background import background


def _pull_slice(index):
    return lambda layout: bar.pull_down_slices()[index]


def _caption(section, icon, text):
    def make(layout):
        _, _, w, h = layout.caption(section)
        return bar.caption(w, h, icon, text).image
    return make


def _save_path(layout):
    x, y, w, h = layout.save_path_image()
    tx, _ = layout.path_text_position()
    bx, _, bw, _ = layout.path_button()
    return act.save_path_box(w, h, tx - x, bx - x, bw).image


def _convert(kind):
    def make(layout):
        _, _, w, h = layout.convert_button()
        return (act.convert_button if kind == "convert" else act.stop_button)(w, h).image
    return make


def _check(ticked):
    def make(layout):
        _, _, w, h = layout.check_box()
        return act.check_box(w, h, ticked).image
    return make


def _progress(kind):
    def make(layout):
        _, _, w, h = layout.progress_bar()
        return (status.progress_track(w, h) if kind == "track" else status.progress_fill(h)).image
    return make


def _background(variant):
    return lambda layout: background(layout, variant).premultiplied()


def _source_button(layout):
    _, _, w, h = layout.source_button()
    return bar.source_button(w, h).image


PLAY_BUTTON_SIZE = 40  # the preview window's play / pause button

# Run-time path -> drawing function of the layout.
IMAGES = {
    "image/background720.png": _background("720"),
    "image/background1080.png": _background("1080"),
    "image/min_size/filter_option.png": _caption("PARAM_FILTER_OPTION", p.ICON_FILTER,
                                                 bar.CAPTION_FILTER_TEXT),
    "image/min_size/threeDoption.png": _caption("PARAM_OPTION_THREED", p.ICON_GLASSES,
                                                bar.CAPTION_THREED_TEXT),
    "image/min_size/output_option.png": _caption("PARAM_OPTION_OUTPUT", p.ICON_EXPORT,
                                                 bar.CAPTION_OUTPUT_TEXT),
    "image/min_size/savepath.png": _save_path,
    "image/min_size/select_folder.png": _source_button,
    "image/min_size/conv_button.png": _convert("convert"),
    "image/min_size/stopconv_button.png": _convert("stop"),
    "image/min_size/CHECHBOX.png": _check(False),
    "image/min_size/CHECHBOX_YES.png": _check(True),
    "image/player_button.png": lambda layout: player.play_overlay().image,
    "image/media-Rect-stick.png": lambda layout: player.seek_knob().image,
    "image/progress.png": _progress("fill"),
    "image/progress_bg.png": _progress("track"),
    "image/pull_button_L.png": _pull_slice(0),
    "image/pull_button_M.png": _pull_slice(1),
    "image/pull_button_R.png": _pull_slice(2),
    "image/play_button720.png": lambda layout: player.play_pause(p.ICON_PLAY, PLAY_BUTTON_SIZE).image,
    "image/pas_button720.png": lambda layout: player.play_pause(p.ICON_PAUSE, PLAY_BUTTON_SIZE).image,
    "image/play_button.png": lambda layout: player.play_pause(p.ICON_PLAY, PLAY_BUTTON_SIZE, 2).image,
    "image/pas_button.png": lambda layout: player.play_pause(p.ICON_PAUSE, PLAY_BUTTON_SIZE, 2).image,
    "image/info_time.png": lambda layout: status.info_icon(p.ICON_CLOCK).image,
    "image/info_res.png": lambda layout: status.info_icon(p.ICON_RESOLUTION).image,
    "image/info_size.png": lambda layout: status.info_icon(p.ICON_FILE).image,
    "image/info_fmt.png": lambda layout: status.info_icon(p.ICON_FILM).image,
}


def generate(layout, runtime_dir):
    missing = set(layout.image_paths()) - set(IMAGES)
    if missing:
        raise SystemExit("no generator for " + ", ".join(sorted(missing)))
    for path, make in IMAGES.items():
        out = os.path.join(runtime_dir, path)
        os.makedirs(os.path.dirname(out), exist_ok=True)
        make(layout).save(out, optimize=False, compress_level=9)
