#pragma once
// The play/pause control of the preview window: shows the pause face while the engine
// plays and the play face while it is paused, has ended, or no source is chosen. A press
// inside toggles the pause; after the end it plays again from the first frame.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <memory>
#include <vector>

#include "player/ffmpeg_helper.h"
#include "player/play_pause_button.h"
#include "widgets/button_base.h"

class PlayPauseCoverButton : public ButtonBase {
public:
    static constexpr Uint16 playGlyph = 0xE800;
    static constexpr Uint16 pauseGlyph = 0xE801;

    // The faces take their images from "PARAM_PLAYBUTTON" and their glyph font from
    // "KALO_BUTTONFONT" ("PARAM_OTHER") at the point size "fontSizemin" of
    // "PARAM_INPUTFILE".
    PlayPauseCoverButton(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position,
                         std::shared_ptr<FFmpegHelper> engine);

    void render() override;
    bool onPress(glm::ivec2 point) override;
    void setPosition(glm::ivec2 position) override;
    void resize(glm::ivec2 windowSize) override;

    // Playback has ended: show the play face; the next press replays.
    void enterEndedMode();
    // The face render() draws now: 0 play, 1 pause.
    int shownChild() const;

    std::shared_ptr<FFmpegHelper> engine;
    std::vector<std::shared_ptr<PlayPauseButton>> children;  // [play, pause]
    bool endedMode = false;
    bool showPauseChild = true;
};
