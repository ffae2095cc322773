#pragma once
// The source button: its picture, and a press that runs the open chooser and opens the
// chosen video in the media engine.
#include <SDL.h>

#include <functional>
#include <glm/vec2.hpp>
#include <memory>
#include <string>

#include "screen/open_file_button.h"
#include "widgets/image_layer.h"

class InputFileButton : public OpenFileButton {
public:
    std::function<void(std::string)> messageSink;  // set by the owner; not called here
    std::shared_ptr<ImageLayer> folderImage;

    // `action` starts as the choose-source action.
    InputFileButton(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position);

    // The picture laid exactly over the button.
    void setFolderImage(const std::string& path);

    void render() override;
    // Inside: the open action (the chooser through `action`, then the engine), true.
    bool onPress(glm::ivec2 point) override;
    void setColor(SDL_Color newColor) override;
    // The button stays where it was built.
    void setPosition(glm::ivec2 position) override;
};
