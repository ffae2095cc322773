#include "screen/video_info.h"

#include <iostream>
#include <utility>

#include "config/json_base.h"
#include "player/ffmpeg_helper.h"
#include "widgets/asset_preload.h"
#include "widgets/font_cache.h"

namespace {

constexpr SDL_Color textColor{0, 0, 0, 255};
constexpr SDL_Color frameColor{128, 128, 128, 255};
const char* const iconKeys[VideoInfo::iconCount] = {"img_time", "img_res", "img_size", "img_fmt"};

SDL_Rect grown(const SDL_Rect& r, int by) {
    return {r.x - by, r.y - by, r.w + 2 * by, r.h + 2 * by};
}

}  // namespace

VideoInfo::VideoInfo(SDL_Renderer* panelRenderer, glm::ivec2 position, glm::ivec2 size,
                     std::shared_ptr<FFmpegHelper> mediaEngine, TTF_Font* font)
    : rect{position.x, position.y, size.x, size.y},
      renderer(panelRenderer),
      textFont(font),
      engine(std::move(mediaEngine)) {
    bool allLoaded = true;
    for (int i = 0; i < iconCount; ++i) {
        icons[i] = kalo::loadTexture(renderer, videoInfoText(iconKeys[i]));
        if (!icons[i]) allLoaded = false;
    }
    if (!allLoaded) std::cout << "Cannot read the texture info" << std::endl;
    titleFont = acquireFont(otherText("KALO_TITLEBARTEXTFONT").c_str(), titlePointSize);

    // One row, each icon at half its image size; a missing icon takes no room.
    int x = rect.x + gap;
    for (int i = 0; i < iconCount; ++i) {
        int w = 0, h = 0;
        if (icons[i]) SDL_QueryTexture(icons[i], nullptr, nullptr, &w, &h);
        iconRects[i] = {x, rect.y + rowOffset, w / 2, h / 2};
        x += iconRects[i].w + gap;
    }
}

VideoInfo::~VideoInfo() {
    texts.clear();
    title.reset();
    for (SDL_Texture*& icon : icons) {
        if (icon) SDL_DestroyTexture(icon);
        icon = nullptr;
    }
    if (titleFont) releaseFont(titleFont);
}

void VideoInfo::rebuild() {
    texts.clear();
    if (engine) {
        infoTexts = {engine->info.duration, engine->info.resolution, engine->info.size,
                     engine->info.format};
    }
    // Text after icon after text, left to right; the first icon keeps its place.
    int x = iconRects[0].x + iconRects[0].w + gap;
    for (int i = 0; i < iconCount; ++i) {
        if (i > 0) {
            iconRects[i].x = x;
            x += iconRects[i].w + gap;
        }
        auto text = TextBase::create(textFont, renderer, textColor, infoTexts[i],
                                     {x, iconRects[i].y});
        x += text->rect.w + gap;
        texts.push_back(std::move(text));
    }
    title = pureText::create(titleFont, renderer, textColor, videoInfoText("msg_vinfo"),
                             {rect.x + gap, rect.y + 10});
}

void VideoInfo::draw() {
    if (!engine || !engine->opened || !title) return;
    title->draw();
    for (const auto& text : texts) text->draw();
    for (int i = 0; i < iconCount; ++i) {
        if (icons[i]) SDL_RenderCopy(renderer, icons[i], nullptr, &iconRects[i]);
    }
    SDL_SetRenderDrawColor(renderer, frameColor.r, frameColor.g, frameColor.b, frameColor.a);
    for (int by = 0; by < 3; ++by) {
        SDL_Rect frame = grown(rect, by);
        SDL_RenderDrawRect(renderer, &frame);
    }
}
