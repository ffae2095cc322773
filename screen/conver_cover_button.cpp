#include "screen/conver_cover_button.h"

#include <cstdio>

#include "widgets/font_cache.h"
#include "config/json_base.h"
#include "conversion/convert_actions.h"
#include "screen/file_choosers.h"

namespace {

constexpr Uint16 stopGlyph = 0xE809;

std::string checkBoxPath(const char* key) {
    return uiConfig ? uiConfig->getString("PARAM_BOOLFILENAME", key) : std::string();
}

glm::ivec2 checkBoxPoint(const char* key) {
    return uiConfig ? uiConfig->getPoint("PARAM_BOOLFILENAME", key) : glm::ivec2{0, 0};
}

}  // namespace

ConverCoverButton::ConverCoverButton(TTF_Font* labelFont, SDL_Renderer* renderer_,
                                     glm::ivec2 size, glm::ivec2 position_, bool* converting_)
    : ButtonBase(renderer_, size, position_), position(position_), converting(converting_) {
    glyphFont = acquireFont(otherText("KALO_BUTTONFONT").c_str(), stopGlyphPointSize);
    if (!glyphFont) std::printf("Stop glyph font not opened: %s\n", TTF_GetError());

    convertButton = std::make_shared<ConvertButton>(renderer, size, position_);
    stopButton = std::make_shared<ConvertButton>(renderer, size, position_);
    convertAskButton = std::make_shared<ConvertButton>(renderer, size, position_);

    ticked = std::make_shared<ImageLayer>(renderer, checkBoxPoint("Size"), checkBoxPoint("pos"),
                                          checkBoxPath("inimgPathPlay720"));
    unticked = std::make_shared<ImageLayer>(renderer, checkBoxPoint("Size"), checkBoxPoint("pos"),
                                            checkBoxPath("inimgPathPas720"));
    checkImages = {unticked, ticked};

    const SDL_Color textColor = otherColor("KALO_TEXTCOL");
    for (const auto& button : {convertButton, convertAskButton}) {
        button->setColor(otherColor("KALO_CONVERTBUTTONCOL"));
        button->setText(labelFont, textColor, position, otherText("KALO_CONVERT"));
        button->setImage(otherText("KALO_IMAGEBUTTON"));
    }
    convertButton->setCallback([this] { convertToChosenOutput(); });
    convertAskButton->setCallback([this] { askForOutputThenConvert(); });
    buttons.push_back(convertButton);

    stopButton->setColor(otherColor("KALO_STOPCONVERTBUTTONCOL"));
    stopButton->setText(labelFont, textColor, position, otherText("KALO_STOPCONVERT"));
    stopButton->setImage(otherText("KALO_STOPIMAGEBUTTON"));
    stopButton->setGlyph(glyphFont, stopGlyph, textColor);
    buttons.push_back(stopButton);

    cancelTexts = {otherText("KALO_CANCEL"), otherText("KALO_SURE"), otherText("KALO_TITLE"),
                   otherText("KALO_MESSAGE")};
}

ConverCoverButton::~ConverCoverButton() {
    // The stop glyph was rendered from the font: the buttons go first.
    buttons.clear();
    convertButton.reset();
    stopButton.reset();
    convertAskButton.reset();
    if (glyphFont) releaseFont(glyphFont);
}

void ConverCoverButton::convertToChosenOutput() {
    ::convertButton(job);
    startConversionJob(job);
}

void ConverCoverButton::askForOutputThenConvert() {
    ::convertAskButton(job, chooseOutputFile);
    startConversionJob(job);
}

void ConverCoverButton::render() {
    buttons[isConverting() ? 1 : 0]->render();
    checkImages[askOutput ? 1 : 0]->render();
}

bool ConverCoverButton::onPress(glm::ivec2 point) {
    // The check box first: it lies outside the control, so toggling it alone does not take
    // the press, and the widgets after this one still receive it.
    if (askOutput) {
        if (ticked->isInside(point)) {
            ticked->active = true;
            askOutput = false;
        } else {
            ticked->active = false;
        }
    } else {
        if (unticked->isInside(point)) {
            unticked->active = true;
            askOutput = true;
        } else {
            unticked->active = false;
        }
    }

    if (!isInside(point)) {
        active = false;
        return false;
    }
    active = true;
    if (!isConverting()) {
        (askOutput ? convertAskButton : convertButton)->onPress(point);
    } else if (confirmAndCancelConversion()) {
        // Back to the convert face at once; the worker's end event follows when the
        // converter has finished its file.
        *converting = false;
    }
    // Presses queued while a modal box or dialog was open are not meant for the screen.
    SDL_FlushEvents(SDL_MOUSEMOTION, SDL_MOUSEWHEEL);
    return true;
}

void ConverCoverButton::setPosition(glm::ivec2 newPosition) {
    ButtonBase::setPosition(newPosition);
    position = newPosition;
    for (const auto& button : buttons) button->setPosition(newPosition);
}

void ConverCoverButton::resize(glm::ivec2 windowSize) {
    for (const auto& button : buttons) button->resize(windowSize);
}
