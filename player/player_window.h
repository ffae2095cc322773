#pragma once
// The scene of the preview's child window: the source video above a control strip with the
// seek slider and the play/pause button. Closing the window rewinds to the first frame,
// pauses and hides it; the scene keeps its state for the next opening.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <memory>
#include <string>

#include "player/ffmpeg_helper.h"
#include "player/play_pause_cover_button.h"
#include "player/render_queue.h"
#include "scene/scene_object.h"
#include "widgets/sample_slider.h"

// The rectangles of a preview window of width x height.
struct PreviewLayout {
    SDL_Rect sliderRect{0, 0, 0, 0};  // the seek slider
    SDL_Rect barRect{0, 0, 0, 0};     // the dark groove under it
    glm::ivec2 buttonPosition{0, 0};  // the play/pause button
    glm::ivec2 videoArea{0, 0};       // the area the picture is fitted into, from the top left

    static constexpr int controlHeight = 60;
    static PreviewLayout of(int width, int height);
};

class PlayerWindow : public ISceneObject {
public:
    static constexpr int controlHeight = PreviewLayout::controlHeight;
    static constexpr int buttonSide = 40;  // the play/pause button is square

    // `renderer` and `window` are the main window's until the scene manager creates the
    // child window and hands its own in. The engine may also be set afterwards.
    PlayerWindow(SDL_Renderer* renderer, SDL_Window* window, std::string sceneName,
                 std::shared_ptr<FFmpegHelper> engine = nullptr);
    ~PlayerWindow() override;

    void init() override;
    void handleEvent(const SDL_Event& event) override;
    void render() override;
    void quit() override;

    // Fits the picture to this window exactly as a relayout does: the whole width and the
    // height above the control strip, on this window's renderer (re-creating the engine's
    // texture there). Before the window exists it only marks the relayout for its first
    // event. For the converter screen after it opened a new source.
    void refitPicture();
    // Called by the engine's render step on every frame once playback has ended.
    void showEnded();

    std::shared_ptr<FFmpegHelper> engine;
    std::shared_ptr<RenderQueue> renderQueue;
    bool relayoutPending = false;
    std::shared_ptr<SampleSlider> seekSlider;
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_Rect sliderRect{0, 0, 0, 0};
    SDL_Rect barRect{0, 0, 0, 0};
    SDL_Cursor* arrowCursor = nullptr;
    std::shared_ptr<PlayPauseCoverButton> playButton;

private:
    void applyLayout();
    void closeWindow();
};
