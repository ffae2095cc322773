#include "screen/button_table.h"

#include <cmath>
#include <utility>

#include "widgets/font_cache.h"
#include "config/json_base.h"
#include "player/ffmpeg_helper.h"
#include "player/preview_button.h"
#include "screen/conver_cover_button.h"
#include "screen/input_file_button.h"
#include "screen/middle_path_button.h"
#include "screen/pop_up_button.h"

WidgetList screenWidgets;

namespace {

glm::ivec2 point(const char* section, const char* key) { return uiConfig->getPoint(section, key); }

}  // namespace

buttonTable::buttonTable(TTF_Font* font, SDL_Renderer* renderer, SDL_Window* mainWindow,
                         glm::ivec2 windowSize, std::shared_ptr<FFmpegHelper> mediaEngine,
                         bool* converting)
    : engine(std::move(mediaEngine)),
      windowWidth(static_cast<float>(windowSize.x)),
      windowHeight(static_cast<float>(windowSize.y)),
      window(mainWindow) {
    (void)font;  // the widgets open the sizes they need themselves
    const std::string buttonFont = otherText("KALO_BUTTONFONT");

    inputButton = std::make_shared<InputFileButton>(renderer, point("PARAM_INPUTFILE", "Size"),
                                                    point("PARAM_INPUTFILE", "pos"));
    inputButton->setColor(otherColor("KALO_INPUTFILECOL"));
    inputButton->setFolderImage(otherText("OPTION_FOLDER"));
    inputButton->engine = engine;
    inputButton->window = window;

    popUp = std::make_shared<PopUpButton>(renderer, point("PARAM_POPUP", "Size"),
                                          point("PARAM_POPUP", "pos"), engine);

    convertFont = acquireFont(buttonFont.c_str(), uiConfig->getInt("PARAM_CONVER", "fontSize"));
    cover = std::make_shared<ConverCoverButton>(convertFont, renderer, point("PARAM_CONVER", "Size"),
                                                point("PARAM_CONVER", "pos"), converting);

    pathButton = std::make_shared<middlePathbutton>(renderer, point("PARAM_PATHBUTTON", "Size"),
                                                    point("PARAM_PATHBUTTON", "pos"));
    pathButton->setColor(otherColor("KALO_INPUTFILECOL"));
    pathButton->setPathLabel(otherText("KALO_TITLEBARTEXTFONT"), otherColor("KALO_TEXTCOL"),
                             point("PARAM_INPUTFILE", "textpos"),
                             uiConfig->getWString("PARAM_OTHER", "KALO_INPUT"),
                             uiConfig->getWString("PARAM_OTHER", "KALO_OPEN"));
    pathButton->setIcon(buttonFont,
                        static_cast<Uint16>(uiConfig->getInt("PARAM_PATHBUTTON", "iconFontnum")),
                        otherColor("KALO_FOLDERCOL"), uiConfig->getInt("PARAM_PATHBUTTON", "fontSize"));

    // As wide as the window less the same margin on both sides; previewSize.x is not used.
    const glm::ivec2 previewPos = point("PARAM_RENDER_CENTER_MAIN_VIDEO_INFO", "previewPos");
    const glm::ivec2 previewSize = point("PARAM_RENDER_CENTER_MAIN_VIDEO_INFO", "previewSize");
    const int previewWidth = static_cast<int>(std::trunc(windowWidth - 2.0f * previewPos.x));
    preview = std::make_shared<PreviewButton>(renderer, glm::ivec2{previewWidth, previewSize.y},
                                              previewPos, engine, otherText("KALO_PLAYBACK"));

    list = {inputButton, popUp, cover, pathButton, preview};
    screenWidgets.insert(screenWidgets.end(), list.begin(), list.end());
}

buttonTable::~buttonTable() {
    list.clear();
    inputButton.reset();
    popUp.reset();
    cover.reset();
    pathButton.reset();
    preview.reset();
    if (convertFont) releaseFont(convertFont);
    convertFont = nullptr;
}

void buttonTable::relayout(glm::ivec2 windowSize) {
    windowWidth = static_cast<float>(windowSize.x);
    windowHeight = static_cast<float>(windowSize.y);
    inputButton->resize(point("PARAM_INPUTFILE", "Size"));
    inputButton->setPosition(windowSize);
    popUp->setPosition(point("PARAM_POPUP", "pos"));
    popUp->resize(windowSize);
    cover->setPosition(point("PARAM_CONVER", "pos"));
    cover->resize(windowSize);
    pathButton->setPosition(point("PARAM_PATHBUTTON", "pos"));
    pathButton->resize(windowSize);
}
