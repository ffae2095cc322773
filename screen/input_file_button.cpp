#include "screen/input_file_button.h"

#include "screen/file_choosers.h"

InputFileButton::InputFileButton(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position)
    : OpenFileButton(renderer_, size, position) {
    action = chooseSourceAction;
}

void InputFileButton::setFolderImage(const std::string& path) {
    // The image's size argument is (height, width).
    folderImage = std::make_shared<ImageLayer>(renderer, glm::ivec2{rect.h, rect.w},
                                               glm::ivec2{rect.x, rect.y}, path);
}

void InputFileButton::render() {
    if (folderImage) folderImage->render();
}

bool InputFileButton::onPress(glm::ivec2 point) {
    if (!isInside(point)) {
        active = false;
        return false;
    }
    active = true;
    const JobSnapshot before = job->snapshot();
    if (action) action(job);
    openChosenSource(job, engine, renderer, before);
    return true;
}

void InputFileButton::setColor(SDL_Color newColor) { color = newColor; }

void InputFileButton::setPosition(glm::ivec2 /*position*/) {}
