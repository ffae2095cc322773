#pragma once
// The source information panel of the converter screen: a title line and one row of four
// icon and text pairs (duration, resolution, file size, format) describing the source the
// media engine has open. Hidden until a source is open; rebuilt for each new source.
#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <glm/vec2.hpp>
#include <memory>
#include <string>
#include <vector>

#include "widgets/text_base.h"

class FFmpegHelper;

class VideoInfo {
public:
    static constexpr int iconCount = 4;
    static constexpr int gap = 5;           // between the frame, icons and texts
    static constexpr int rowOffset = 60;    // the row's y below the frame's top
    static constexpr int titlePointSize = 20;

    std::array<SDL_Texture*, iconCount> icons{};  // owned; null when an image is missing
    std::array<SDL_Rect, iconCount> iconRects{};
    SDL_Rect rect{0, 0, 0, 0};
    std::vector<std::shared_ptr<TextBase>> texts;  // in icon order
    std::shared_ptr<pureText> title;               // null until the first rebuild
    SDL_Renderer* renderer = nullptr;              // not owned
    TTF_Font* textFont = nullptr;                  // not owned
    TTF_Font* titleFont = nullptr;                 // owned
    std::shared_ptr<FFmpegHelper> engine;
    std::array<std::string, iconCount> infoTexts;  // UTF-8 copies of the engine's info

    // The screen hands over the configured position and size (see MainScene::init).
    VideoInfo(SDL_Renderer* renderer, glm::ivec2 position, glm::ivec2 size,
              std::shared_ptr<FFmpegHelper> engine, TTF_Font* textFont);
    ~VideoInfo();
    VideoInfo(const VideoInfo&) = delete;
    VideoInfo& operator=(const VideoInfo&) = delete;

    // Re-creates the texts from the engine's current source.
    void rebuild();
    // Draws the panel while the engine has a source open and a rebuild has happened.
    void draw();
};
