#include "player/render_queue.h"

#include <utility>

RenderQueue::RenderQueue(SDL_Window* window, SDL_Renderer* renderer)
    : window(window), renderer(renderer) {}

void RenderQueue::add(std::shared_ptr<RenderData> entry) { entries.push_back(std::move(entry)); }

void RenderQueue::renderAll() {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::shared_ptr<RenderData> entry = entries[i];  // a callback may change the list
        entry->sync();
        entry->draw(&renderer);
    }
}
