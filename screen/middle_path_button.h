#pragma once
// The output-folder button with its path line: a press runs the folder chooser, names the
// output after the source in that folder, shows it shortened in the line and reports it in
// the screen's message list.
#include <SDL.h>
#include <SDL_ttf.h>

#include <functional>
#include <glm/vec2.hpp>
#include <memory>
#include <string>

#include "conversion/windows_manager.h"
#include "widgets/button_base.h"
#include "widgets/image_layer.h"
#include "widgets/text_base.h"

class middlePathbutton : public ButtonBase {
public:
    std::function<void(std::string)> messageSink;  // the message list; set by the owner
    std::shared_ptr<ImageLayer> saveImage;
    std::wstring outputPath;                       // the last output chosen here
    std::shared_ptr<pureText> pathLabel;
    TTF_Font* labelFont = nullptr;                 // owned
    int iconPointSize = 0;                         // drives the size with the window
    std::shared_ptr<WindowsManager> job = windowsManager;  // the job record

    middlePathbutton(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position);
    ~middlePathbutton() override;

    // The path line in the font at `fontPath` (point size "fontSizemin" of PARAM_INPUTFILE)
    // showing `text` until a folder is chosen. `prefix` is not shown.
    void setPathLabel(const std::string& fontPath, SDL_Color textColor, glm::ivec2 position,
                      const std::wstring& prefix, const std::wstring& text);
    // The folder glyph is part of the save-path picture; only its point size is kept, for
    // the size of the hit area.
    void setIcon(const std::string& fontPath, Uint16 codePoint, SDL_Color iconColor,
                 int pointSize);

    void render() override;
    bool onPress(glm::ivec2 point) override;
    void setColor(SDL_Color newColor) override;
    void setPosition(glm::ivec2 position) override;
    // Handed the window size: both sides from the icon's point size.
    void resize(glm::ivec2 windowSize) override;
};
