#pragma once
// Where a person finds the controls of the converter screen, computed from the UI document
// the application is built with (config/resources/kalo_conv_UI.json), never hard-coded.
//
// The rule: layout values are pixels of the main window at its default size
// (PARAM_OTHER defaultWindowSizeX x defaultWindowSizeY) and are used unchanged as window
// coordinates; the 1920-wide design canvas (photoshopSizeX) only chooses the large image
// and font variants, and icon-sized widgets take their side from their icon's point size
// scaled by window width / default width. Some keys are read crosswise, as the screen does:
// check box and caption sizes are (height, width).
#include <filesystem>

namespace kalo::e2e {

struct Point {
    int x = 0;
    int y = 0;
};

struct Area {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    Point centre() const { return {x + w / 2, y + h / 2}; }
};

struct PullDownPlace {
    Area header;    // where the collapsed list is pressed
    int rowWidth = 0;
    int rowHeight = 0;
    // Centre of row `index` once the list has dropped: rows of height h hang in a column
    // from h + 15 below the header's top, one pixel apart.
    Point row(int index) const;
};

struct ScreenLayout {
    int windowWidth = 0;  // the default window size
    int windowHeight = 0;
    Area sourceButton;    // PARAM_INPUTFILE
    PullDownPlace filter, mode, output;  // PARAM_FILTER_OPTION, _OPTION_THREED, _OPTION_OUTPUT
    Area convertControl;  // PARAM_CONVER: the convert / stop face
    Area checkBox;        // PARAM_BOOLFILENAME: "每次询问保存位置"
    Area pathButton;      // PARAM_PATHBUTTON: the output-folder button
    Area preview;         // PARAM_RENDER_CENTER_MAIN_VIDEO_INFO: where the thumbnail shows
    Area progressBand;    // PARAM_RENDER_PROGRESS_BAR across to the window's right edge:
                          // the bar and its percentage / time-left text

    static ScreenLayout fromDocument(const std::filesystem::path& document);
};

}  // namespace kalo::e2e
