#pragma once
// The scrolling message lines of a screen: each new message slides in above the bottom
// edge of the window and pushes the older ones up a line; at most eight stay.
#include <SDL.h>
#include <SDL_ttf.h>

#include <glm/vec2.hpp>
#include <memory>
#include <string>
#include <vector>

#include "widgets/animation_factory.h"
#include "widgets/text_base.h"

class AniTextList {
public:
    static constexpr int bottomOffset = 130;  // a new line starts this far above the bottom
    static constexpr int lineStep = 20;       // each line rests one step above the next
    static constexpr int leftMargin = 20;
    static constexpr int slideSpeed = 4;      // pixels per frame
    static constexpr int maxLines = 8;
    static constexpr int fontPointSize = 12;

    glm::ivec2 windowSize{0, 0};
    TTF_Font* font = nullptr;          // owned
    SDL_Renderer* renderer = nullptr;  // not owned
    SDL_Window* window = nullptr;      // not owned
    std::vector<std::shared_ptr<TextBase>> lines;          // oldest first
    std::vector<std::shared_ptr<AnimationFactory>> slides; // one per line, same index
    bool restart = false;

    // Opens the title bar font of the configuration (or `fontPath` when given) at 12 points
    // and reads the window size. A font that does not open leaves lines without textures.
    AniTextList(SDL_Renderer* renderer, SDL_Window* window, const std::string& fontPath = {});
    virtual ~AniTextList();
    AniTextList(const AniTextList&) = delete;
    AniTextList& operator=(const AniTextList&) = delete;

    void addText(std::string message);
    // Draws every line for this frame; then drops the oldest line while more than eight
    // are held (one per frame).
    void render();
    // A line is still sliding into place.
    bool animating() const;
    // Re-anchors the lines to the bottom of a resized window and replays their last slide.
    void relayout(glm::ivec2 size);
};

// The converter screen's message list.
class MainUIAniTextList : public AniTextList {
public:
    using AniTextList::AniTextList;
};
