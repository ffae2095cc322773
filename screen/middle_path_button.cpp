#include "screen/middle_path_button.h"

#include <cstdio>
#include <exception>

#include "widgets/font_cache.h"
#include "config/json_base.h"
#include "platform/message_box.h"
#include "platform/text_encoding.h"
#include "screen/file_choosers.h"
#include "widgets/design_scale.h"
#include "widgets/elide_path.h"

namespace {

// The last component has a name: "/v/clip.mp4" has, "/v/" and "" have not.
bool hasFileName(const std::wstring& path) {
    return !path.empty() && path.back() != L'/' && path.back() != L'\\';
}

}  // namespace

middlePathbutton::middlePathbutton(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position)
    : ButtonBase(renderer_, size, position) {
    if (uiConfig) {
        saveImage = std::make_shared<ImageLayer>(
            renderer, uiConfig->getPoint("PARAM_OUTPUTFILE", "imgsize"),
            uiConfig->getPoint("PARAM_OUTPUTFILE", "imgpos"), otherText("OPTION_SAVE"));
    }
}

middlePathbutton::~middlePathbutton() {
    pathLabel.reset();  // its texture was made with the font
    if (labelFont) releaseFont(labelFont);
}

void middlePathbutton::setPathLabel(const std::string& fontPath, SDL_Color textColor,
                                    glm::ivec2 position, const std::wstring& /*prefix*/,
                                    const std::wstring& text) {
    pathLabel.reset();
    // The new font before the old one goes: the same font is then not parsed again.
    TTF_Font* previousFont = labelFont;
    const int pointSize = uiConfig ? uiConfig->getInt("PARAM_INPUTFILE", "fontSizemin") : 0;
    labelFont = acquireFont(fontPath.c_str(), pointSize);
    releaseFont(previousFont);
    if (!labelFont) std::printf("Path line font not opened: %s\n", TTF_GetError());
    std::string shown;
    try {
        shown = kalo::wideToUtf8(text);
    } catch (const std::exception&) {
    }
    pathLabel = pureText::create(labelFont, renderer, textColor, shown, position);
}

void middlePathbutton::setIcon(const std::string& /*fontPath*/, Uint16 /*codePoint*/,
                               SDL_Color /*iconColor*/, int pointSize) {
    iconPointSize = pointSize;
}

void middlePathbutton::render() {
    if (saveImage) saveImage->render();
    if (pathLabel) pathLabel->draw();
}

bool middlePathbutton::onPress(glm::ivec2 point) {
    if (!isInside(point)) {
        active = false;
        return false;
    }
    active = true;
    JobSnapshot snapshot = job->snapshot();
    if (hasFileName(snapshot.input)) {
        outputPath = defaultOutputPath(snapshot.input, chooseOutputFolder());
    } else {
        kalo::platform::showSimpleMessageBox(kalo::platform::MessageBoxKind::Warning,
                                             otherText("MAIN_MESSAGE"), otherText("MAIN_NOFILE"));
    }
    if (!outputPath.empty()) {
        // The message list draws UTF-8, which holds every file name.
        std::string path;
        try {
            path = kalo::wideToUtf8(outputPath);
        } catch (const std::exception&) {
        }
        if (messageSink) messageSink(otherText("KALO_OUTPUT") + path);
        if (pathLabel) pathLabel->setText(elidePath(outputPath));
        snapshot.output = outputPath;
    }
    job->update(snapshot);
    SDL_FlushEvents(SDL_MOUSEMOTION, SDL_MOUSEWHEEL);
    return true;
}

void middlePathbutton::setColor(SDL_Color newColor) { color = newColor; }

void middlePathbutton::setPosition(glm::ivec2 position) { ButtonBase::setPosition(position); }

void middlePathbutton::resize(glm::ivec2 windowSize) {
    const glm::ivec2 size = DesignScale::fromConfig().iconWidgetSize(iconPointSize, windowSize);
    rect.w = size.x;
    rect.h = size.y;
}
