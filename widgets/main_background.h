#pragma once
// The window's background picture, stretched over the whole window: a 720 picture for the
// default layout and a 1080 one for windows wider than 1280 pixels, loaded when a window
// first gets that wide. It never takes a press.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <string>

#include "widgets/button_base.h"

class mainBackground : public ButtonBase {
public:
    SDL_BlendMode blendMode = SDL_BLENDMODE_NONE;
    SDL_Texture* current = nullptr;    // image720 or image1080
    SDL_Texture* image720 = nullptr;   // owned
    SDL_Texture* image1080 = nullptr;  // owned; null until a wide window needs it

    mainBackground(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position,
                   const std::string& path720, const std::string& path1080);
    ~mainBackground() override;

    // Draws `current` over `rect`; from then on the picture adds its colour unweighted
    // (the pictures are stored premultiplied, so both ways give the same result).
    void render() override;
    bool onPress(glm::ivec2 point) override;
    // Handed the window size: covers it and picks the picture for that width.
    void resize(glm::ivec2 size) override;
    bool isInside(glm::ivec2 point) override;

private:
    std::string path1080;
    bool tried1080 = false;
};
