#pragma once
// The list of things a window draws each frame, in the order they were added. It draws
// only: the owner clears and presents the frame.
#include <SDL.h>

#include <memory>
#include <vector>

#include "player/render_data.h"

class RenderQueue {
public:
    RenderQueue(SDL_Window* window, SDL_Renderer* renderer);

    void add(std::shared_ptr<RenderData> entry);
    // For each entry in order: sync, then draw with the address of `renderer`.
    void renderAll();

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::vector<std::shared_ptr<RenderData>> entries;
};
