#include "screen_layout.h"

#include <fstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

namespace kalo::e2e {

namespace {

Point point(const nlohmann::json& section, const char* key) {
    const nlohmann::json& value = section.at(key);
    return {value.at("x").get<int>(), value.at("y").get<int>()};
}

Area area(const nlohmann::json& section, const char* positionKey, const char* sizeKey) {
    const Point position = point(section, positionKey);
    const Point size = point(section, sizeKey);
    return {position.x, position.y, size.x, size.y};
}

PullDownPlace pullDown(const nlohmann::json& section) {
    PullDownPlace place;
    place.header = area(section, "pos", "Size");
    const Point rowSize = point(section, "optSize");
    place.rowWidth = rowSize.x;
    place.rowHeight = rowSize.y;
    return place;
}

}  // namespace

Point PullDownPlace::row(int index) const {
    const int top = header.y + rowHeight + 15 + index * (rowHeight + 1);
    return {header.x + rowWidth / 2, top + rowHeight / 2};
}

ScreenLayout ScreenLayout::fromDocument(const std::filesystem::path& document) {
    std::ifstream in(document);
    if (!in) throw std::runtime_error("cannot read " + document.string());
    const nlohmann::json ui = nlohmann::json::parse(in);
    const nlohmann::json& other = ui.at("PARAM_OTHER");

    ScreenLayout layout;
    layout.windowWidth = other.at("defaultWindowSizeX").get<int>();
    layout.windowHeight = other.at("defaultWindowSizeY").get<int>();
    layout.sourceButton = area(ui.at("PARAM_INPUTFILE"), "pos", "Size");
    // The filter header grows to its widest label + 30 once its rows are known; its
    // configured size is the part that is always there.
    layout.filter = pullDown(ui.at("PARAM_FILTER_OPTION"));
    layout.mode = pullDown(ui.at("PARAM_OPTION_THREED"));
    layout.output = pullDown(ui.at("PARAM_OPTION_OUTPUT"));
    layout.convertControl = area(ui.at("PARAM_CONVER"), "pos", "Size");

    // The check box image: "Size" is (height, width).
    const nlohmann::json& box = ui.at("PARAM_BOOLFILENAME");
    const Point boxPosition = point(box, "pos");
    const Point boxSize = point(box, "Size");
    layout.checkBox = {boxPosition.x, boxPosition.y, boxSize.y, boxSize.x};

    // An icon-sized widget: a square of its icon's point size at the default window size.
    const nlohmann::json& pathButton = ui.at("PARAM_PATHBUTTON");
    const Point pathPosition = point(pathButton, "pos");
    const int iconSide = pathButton.at("fontSize").get<int>();
    layout.pathButton = {pathPosition.x, pathPosition.y, iconSide, iconSide};

    const nlohmann::json& preview = ui.at("PARAM_RENDER_CENTER_MAIN_VIDEO_INFO");
    const Point previewPosition = point(preview, "previewPos");
    layout.preview = {previewPosition.x, previewPosition.y, layout.windowWidth - 2 * previewPosition.x,
                      point(preview, "previewSize").y};

    const Area bar = area(ui.at("PARAM_RENDER_PROGRESS_BAR"), "pos", "Size");
    layout.progressBand = {bar.x, bar.y, layout.windowWidth - bar.x, bar.h};
    return layout;
}

}  // namespace kalo::e2e
