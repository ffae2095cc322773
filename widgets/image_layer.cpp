#include "widgets/image_layer.h"

#include <SDL_image.h>

#include <iostream>
#include <utility>

#include "widgets/asset_preload.h"
#include "widgets/fill_rect.h"

ImageLayer::ImageLayer(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position,
                       std::string path_)
    : ButtonBase(renderer_, {size.y, size.x}, position), path(std::move(path_)),
      dest{position.x, position.y, size.y, size.x} {
    texture = kalo::loadTexture(renderer, path);
    if (!texture) std::cout << "Cannot load image " << path << ": " << IMG_GetError() << std::endl;
}

ImageLayer::~ImageLayer() {
    if (texture) SDL_DestroyTexture(texture);
}

std::shared_ptr<ImageLayer> ImageLayer::create(SDL_Renderer* renderer, glm::ivec2 size,
                                               glm::ivec2 position, std::string path) {
    return std::shared_ptr<ImageLayer>(new ImageLayer(renderer, size, position, std::move(path)));
}

void ImageLayer::render() { copyTexture(renderer, texture, dest); }

void ImageLayer::setPosition(glm::ivec2 position) {
    ButtonBase::setPosition(position);
    dest.x = position.x;
    dest.y = position.y;
}
