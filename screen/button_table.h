#pragma once
// The converter screen's five interactive widgets, in the order the screen drives them:
// source button, option bar, convert control, output-folder button, preview button.
#include <SDL.h>
#include <SDL_ttf.h>

#include <glm/vec2.hpp>
#include <memory>

#include "widgets/widget_list.h"

class ConverCoverButton;
class FFmpegHelper;
class InputFileButton;
class PopUpButton;
class PreviewButton;
class middlePathbutton;

// The widget list the converter screen drives (hover, press, release, window size,
// drawing). The button table appends its five widgets; the screen's quit empties it.
extern WidgetList screenWidgets;

class buttonTable {
public:
    WidgetList list;  // the five widgets, in insertion order
    std::shared_ptr<FFmpegHelper> engine;
    float windowWidth = 0.0f;
    float windowHeight = 0.0f;
    SDL_Window* window = nullptr;
    std::shared_ptr<InputFileButton> inputButton;
    TTF_Font* convertFont = nullptr;  // owned
    std::shared_ptr<PopUpButton> popUp;
    std::shared_ptr<ConverCoverButton> cover;
    std::shared_ptr<middlePathbutton> pathButton;
    std::shared_ptr<PreviewButton> preview;

    // `font` (the screen's 13-point font) is not owned; `converting` is the screen's flag.
    buttonTable(TTF_Font* font, SDL_Renderer* renderer, SDL_Window* window, glm::ivec2 windowSize,
                std::shared_ptr<FFmpegHelper> engine, bool* converting);
    ~buttonTable();
    buttonTable(const buttonTable&) = delete;
    buttonTable& operator=(const buttonTable&) = delete;

    // On every resize of the window. The preview button keeps its place.
    void relayout(glm::ivec2 windowSize);
};
