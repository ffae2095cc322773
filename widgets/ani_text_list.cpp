#include "widgets/ani_text_list.h"

#include <cstdio>
#include <utility>

#include "widgets/font_cache.h"
#include "config/json_base.h"
#include "widgets/fill_rect.h"

namespace {

const SDL_Color kLineColor{255, 255, 255, 255};
const SDL_Color kBandColor{0, 0, 0, 64};

}  // namespace

AniTextList::AniTextList(SDL_Renderer* renderer_, SDL_Window* window_,
                         const std::string& fontPath)
    : renderer(renderer_), window(window_) {
    const std::string path = fontPath.empty() ? otherText("KALO_TITLEBARTEXTFONT") : fontPath;
    if (TTF_WasInit() && !path.empty()) {
        font = acquireFont(path.c_str(), fontPointSize);
        if (!font) std::printf("font not opened: %s (%s)\n", path.c_str(), TTF_GetError());
    }
    if (window) SDL_GetWindowSize(window, &windowSize.x, &windowSize.y);
}

AniTextList::~AniTextList() {
    // Lines hold the font pointer: release them before closing it.
    lines.clear();
    slides.clear();
    if (font) releaseFont(font);
}

void AniTextList::addText(std::string message) {
    const float y0 = static_cast<float>(windowSize.y - bottomOffset);
    for (auto& slide : slides) {
        slide->start.y -= lineStep;
        slide->target.y -= lineStep;
    }
    lines.push_back(TextBase::create(font, renderer, kLineColor, std::move(message),
                                     glm::ivec2(leftMargin, static_cast<int>(y0))));
    slides.push_back(AnimationFactory::create(renderer, glm::vec2(leftMargin, y0),
                                              glm::vec2(leftMargin, y0 - lineStep),
                                              slideSpeed));
    restart = true;
}

void AniTextList::render() {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (restart) slides[i]->restart();
        const glm::vec2 p = slides[i]->step();
        lines[i]->setPosition(glm::ivec2(static_cast<int>(p.x), static_cast<int>(p.y)));
        SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
        fillRect(renderer, lines[i]->rect, kBandColor);
        lines[i]->draw();
    }
    if (lines.size() > static_cast<size_t>(maxLines)) {
        lines.erase(lines.begin());
        slides.erase(slides.begin());
    }
    restart = false;
}

bool AniTextList::animating() const {
    if (restart && !lines.empty()) return true;
    for (const auto& slide : slides)
        if (slide->active) return true;
    return false;
}

void AniTextList::relayout(glm::ivec2 size) {
    windowSize = size;
    float y = static_cast<float>(size.y - bottomOffset);
    for (size_t k = lines.size(); k-- > 0;) {
        AnimationFactory& slide = *slides[k];
        slide.start.y = y;
        y -= lineStep;
        slide.target.y = y;
        lines[k]->setPosition(glm::ivec2(static_cast<int>(slide.target.x), static_cast<int>(y)));
        slide.restart();
    }
}
