#pragma once
// A button whose press edits the conversion job record through its action and then carries
// out what the record asks for: a conversion is started when the action asked for one.
#include <SDL.h>

#include <functional>
#include <glm/vec2.hpp>
#include <memory>

#include "conversion/windows_manager.h"
#include "widgets/button_base.h"

class FFmpegHelper;

class OpenFileButton : public ButtonBase {
public:
    std::function<void(const std::shared_ptr<WindowsManager>&)> action;  // empty until set
    std::shared_ptr<FFmpegHelper> engine;                                // may be empty
    SDL_Window* window = nullptr;                                        // set by the owner
    std::shared_ptr<WindowsManager> job = windowsManager;                // the job record

    OpenFileButton(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position);

    // Inside: runs the action, then starts the conversion the record asks for; true whether
    // or not an action was set. Outside: false.
    bool onPress(glm::ivec2 point) override;
};
