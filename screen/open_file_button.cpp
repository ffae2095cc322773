#include "screen/open_file_button.h"

#include "conversion/convert_actions.h"

OpenFileButton::OpenFileButton(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position)
    : ButtonBase(renderer_, size, position) {}

bool OpenFileButton::onPress(glm::ivec2 point) {
    if (!isInside(point)) {
        active = false;
        return false;
    }
    active = true;
    if (action) {
        action(job);
        startConversionJob(job);  // does nothing unless the action asked for a conversion
    }
    return true;
}
