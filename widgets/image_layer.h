#pragma once
// A picture drawn at a fixed place: the captions of the option bar and the images of the
// converter screen's buttons.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <memory>
#include <string>

#include "widgets/button_base.h"

class ImageLayer : public ButtonBase {
public:
    SDL_Texture* texture = nullptr;  // owned; null when the image did not load
    std::string path;                // the image file
    SDL_Rect dest{0, 0, 0, 0};       // where the image is drawn

    // `size` is read as (height, width), as the layout stores caption sizes: {36, 100} draws
    // an image 100 pixels wide and 36 high. An image that does not load is logged once and
    // never drawn.
    ImageLayer(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position, std::string path);
    ~ImageLayer() override;

    static std::shared_ptr<ImageLayer> create(SDL_Renderer* renderer, glm::ivec2 size,
                                              glm::ivec2 position, std::string path);

    void render() override;
    // Moves the hit area and the picture together; `resize` (the base's) changes only the
    // hit area.
    void setPosition(glm::ivec2 position) override;
};
