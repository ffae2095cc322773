#include "screen/startup_assets.h"

#include "config/json_base.h"
#include "screen/conver_cover_button.h"
#include "screen/main_scene.h"
#include "screen/pop_up_button.h"
#include "screen/video_info.h"
#include "widgets/ani_text_list.h"
#include "widgets/pull_down_menu.h"

kalo::StartupAssets mainScreenAssets() {
    kalo::StartupAssets assets;
    if (!uiConfig) return assets;
    const std::string text = otherText("KALO_TITLEBARTEXTFONT");
    const std::string icons = otherText("KALO_BUTTONFONT");
    // Most expensive first: each size of the CJK text font parses its tables anew.
    for (int size : {MainScene::textPointSize, MainScene::smallTextPointSize, PopUpButton::fontSize,
                     VideoInfo::titlePointSize, AniTextList::fontPointSize,
                     uiConfig->getInt("PARAM_INPUTFILE", "fontSizemin")}) {
        assets.fonts.push_back({text, size});
    }
    for (int size : {uiConfig->getInt("PARAM_CONVER", "fontSize"), ConverCoverButton::stopGlyphPointSize}) {
        assets.fonts.push_back({icons, size});
    }
    // The background the default window shows first: the wide one waits for a wide window.
    for (const char* key : {"MAIN_BACKGROUND720", "OPTION_FOLDER", "OPTION_FILTER", "OPTION_THREED",
                            "OPTION_OUTPUT", "OPTION_SAVE", "KALO_IMAGEBUTTON", "KALO_STOPIMAGEBUTTON",
                            "KALO_PLAYBACK", "MAIN_PROGRESS_IMG_BAR", "MAIN_PROGRESS_IMG_BAR_BG"}) {
        assets.pictures.push_back(otherText(key));
    }
    for (const char* key : {"inimgPathPlay720", "inimgPathPas720"}) {
        assets.pictures.push_back(uiConfig->getString("PARAM_BOOLFILENAME", key));
    }
    for (const char* key : {"img_time", "img_res", "img_size", "img_fmt"}) {
        assets.pictures.push_back(videoInfoText(key));
    }
    for (const char* path : {PullDownMenu::leftImage, PullDownMenu::middleImage, PullDownMenu::rightImage}) {
        assets.pictures.push_back(path);
    }
    return assets;
}
