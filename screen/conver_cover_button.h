#pragma once
// The convert/stop control: the convert button (with its "ask where to save" check box)
// while no conversion runs, the stop button while one runs. A press on convert starts a
// job; a press on stop asks for confirmation and then stops the converter.
#include <SDL.h>
#include <SDL_ttf.h>

#include <glm/vec2.hpp>
#include <memory>
#include <string>
#include <vector>

#include "conversion/windows_manager.h"
#include "widgets/button_base.h"
#include "widgets/convert_button.h"
#include "widgets/image_layer.h"

class ConverCoverButton : public ButtonBase {
public:
    static constexpr int stopGlyphPointSize = 34;  // the stop glyph, from the icon font
    // "取消", "确定", "取消渲染", "你确定取消渲染吗? "
    std::vector<std::string> cancelTexts;
    std::vector<std::shared_ptr<ConvertButton>> buttons;    // [0] convert, [1] stop
    std::vector<std::shared_ptr<ImageLayer>> checkImages;   // [0] empty, [1] ticked
    glm::vec2 position{0.0f, 0.0f};
    bool* converting = nullptr;  // the screen's flag; cleared here by a confirmed stop
    bool askOutput = true;       // the check box: ask for the output file on convert
    TTF_Font* glyphFont = nullptr;  // owned; the stop glyph
    std::shared_ptr<ConvertButton> convertButton;
    std::shared_ptr<ConvertButton> stopButton;
    // Never drawn, moved or resized: only its hit test (the design rectangle) is used.
    std::shared_ptr<ConvertButton> convertAskButton;
    std::shared_ptr<ImageLayer> ticked;
    std::shared_ptr<ImageLayer> unticked;
    std::shared_ptr<WindowsManager> job = windowsManager;  // the job record the buttons edit

    // `labelFont` is the caller's and must outlive the control.
    ConverCoverButton(TTF_Font* labelFont, SDL_Renderer* renderer, glm::ivec2 size,
                      glm::ivec2 position, bool* converting);
    ~ConverCoverButton() override;

    void render() override;
    // The check box toggles without taking the press (it lies outside the control). A press
    // inside runs convert (asking for the output first while ticked) or, while a conversion
    // runs, the stop confirmation.
    bool onPress(glm::ivec2 point) override;
    void setPosition(glm::ivec2 position) override;
    // Handed the window size: the visible buttons grow with it; the control's own rectangle
    // keeps its size.
    void resize(glm::ivec2 windowSize) override;

private:
    bool isConverting() const { return converting && *converting; }
    void convertToChosenOutput();
    void askForOutputThenConvert();
};
