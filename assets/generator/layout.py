"""Where the converter screen draws each asset, read from the UI document.

Rectangles are (x, y, w, h) in pixels of the default 1152 x 648 window. The document gives
some sizes as (height, width) (`ImageLayer`, the check box, the save-path image); this module
turns them into real widths and heights once, so the generators never repeat that rule.
"""
import json
import os

DOCUMENT = os.path.join(os.path.dirname(__file__), "..", "..", "config", "resources",
                        "kalo_conv_UI.json")


class Layout:
    def __init__(self, path=DOCUMENT):
        with open(path, encoding="utf-8") as f:
            self.doc = json.load(f)
        other = self.doc["PARAM_OTHER"]
        self.window = (other["defaultWindowSizeX"], other["defaultWindowSizeY"])

    def point(self, section, key):
        p = self.doc[section][key]
        return int(p["x"]), int(p["y"])

    def value(self, section, key):
        return self.doc[section][key]

    def _pos_size(self, section, pos_key, size_key, height_first=False):
        x, y = self.point(section, pos_key)
        a, b = self.point(section, size_key)
        return (x, y, b, a) if height_first else (x, y, a, b)

    # Option bar: caption images (size read as height, width) and pull-down headers.
    def caption(self, section):
        return self._pos_size(section, "ImageLayerpos", "ImageLayerSize", height_first=True)

    def menu(self, section):
        return self._pos_size(section, "pos", "Size")

    def source_button(self):
        return self._pos_size("PARAM_INPUTFILE", "pos", "Size")

    def save_path_image(self):
        return self._pos_size("PARAM_OUTPUTFILE", "imgpos", "imgsize", height_first=True)

    def path_text_position(self):
        return self.point("PARAM_INPUTFILE", "textpos")

    def path_button(self):
        """The output-folder button's hit area: a square of its icon point size."""
        x, y = self.point("PARAM_PATHBUTTON", "pos")
        size = self.value("PARAM_PATHBUTTON", "fontSize")
        return (x, y, size, size)

    def convert_button(self):
        return self._pos_size("PARAM_CONVER", "pos", "Size")

    def check_box(self):
        return self._pos_size("PARAM_BOOLFILENAME", "pos", "Size", height_first=True)

    def preview_area(self):
        x, y = self.point("PARAM_RENDER_CENTER_MAIN_VIDEO_INFO", "previewPos")
        _, h = self.point("PARAM_RENDER_CENTER_MAIN_VIDEO_INFO", "previewSize")
        return (x, y, self.window[0] - 2 * x, h)

    def info_panel(self):
        # The screen uses the two keys crosswise: `Size` is the position, `pos` the size.
        x, y = self.point("PARAM_RENDER_VIDEO_INFO", "Size")
        w, h = self.point("PARAM_RENDER_VIDEO_INFO", "pos")
        return (x, y, w, h)

    def progress_bar(self, bar_height=20):
        x, y, w, h = self._pos_size("PARAM_RENDER_PROGRESS_BAR", "pos", "Size")
        return (x, y + h - bar_height, w, bar_height)

    def image_path(self, section, key):
        """Run-time relative path of an image key, without the leading "./"."""
        return os.path.normpath(self.doc[section][key])

    def image_paths(self):
        """Every "./image/..." string of the document."""
        found = []

        def walk(node):
            if isinstance(node, dict):
                for v in node.values():
                    walk(v)
            elif isinstance(node, list):
                for v in node:
                    walk(v)
            elif isinstance(node, str) and node.startswith("./image/"):
                found.append(os.path.normpath(node))
        walk(self.doc)
        return sorted(set(found))
