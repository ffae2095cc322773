#pragma once
// The thumbnail button of the converter screen: a still picture from a fifth into the
// source, a hover image over it while the pointer is on it, and a press that opens the
// preview window. Draws nothing before a source is open.
#include <SDL.h>

#include <functional>
#include <glm/vec2.hpp>
#include <memory>
#include <string>

#include "player/ffmpeg_helper.h"
#include "widgets/button_base.h"

// Where a picture of dw x dh, turned by `rotation` degrees about the rectangle's centre,
// is drawn on a thumbnail button: as high as the button and centred across it (it may
// overflow both sides); turned a quarter, its rectangle is scaled so the turned picture
// stands in the button's height.
SDL_Rect thumbnailRect(SDL_Rect button, int pictureWidth, int pictureHeight, int rotation);

class PreviewButton : public ButtonBase {
public:
    // Opens a child window hosting the named scene at the given size (the scene manager's
    // openWindow).
    using OpenCallback = std::function<void(std::string, glm::ivec2)>;
    static constexpr int previewWidth = 880;
    static constexpr int previewHeight = 540;

    // `hoverImagePath`: the image drawn over the thumbnail on hover ("KALO_PLAYBACK").
    PreviewButton(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position,
                  std::shared_ptr<FFmpegHelper> engine, const std::string& hoverImagePath,
                  OpenCallback onOpen = {});
    ~PreviewButton() override;

    void render() override;
    // Inside, with a source open: opens the preview ("SCENE_NAME_PLAYER", 880 x 540).
    bool onPress(glm::ivec2 point) override;
    // The thumbnail keeps the place it was built at.
    void setPosition(glm::ivec2 position) override;
    // Also the hover state.
    bool isInside(glm::ivec2 point) override;

    // After a new source was opened: takes the picture at 20 % (bounded wait, see
    // FFmpegHelper::captureThumbnail), leaves the engine at the first frame, paused, and
    // fits the thumbnail to the button. Without a picture the button shows none.
    void makeThumbnail();

    std::shared_ptr<FFmpegHelper> engine;
    SDL_Texture* hoverImage = nullptr;  // owned
    SDL_Rect hoverRect{0, 0, 0, 0};
    bool hoverShown = false;
    SDL_Texture* thumbImage = nullptr;  // the engine's thumbnailTexture, not owned
    SDL_Rect thumbRect{0, 0, 0, 0};
    OpenCallback onOpen;
};
