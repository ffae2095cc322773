#pragma once
// A pull-down menu: a header drawn from three image slices showing the selected row's text,
// and a list of rows that drops down from below the header when the header is pressed.
// A press anywhere closes an open list and is taken by the menu; the row under it (if any)
// becomes the selection and is reported, even when it was selected already.
#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <cstdint>
#include <functional>
#include <glm/vec2.hpp>
#include <memory>
#include <string>
#include <vector>

#include "widgets/animation_factory.h"
#include "widgets/button_base.h"
#include "widgets/text_base.h"

// Fill colours of a row: normal, under the pointer, selected.
struct OptionColors {
    SDL_Color normal{200, 200, 200, 255};
    SDL_Color hover{240, 240, 240, 255};
    SDL_Color selected{160, 160, 160, 255};
};

class PullDownMenu : public ButtonBase {
public:
    class PullDownOption : public ButtonBase {
    public:
        std::shared_ptr<AnimationFactory> slide;  // the drop from below the header
        std::string text;                         // UTF-8
        int32_t index = 0;                        // position in the menu, from 0
        glm::ivec2 origin{0, 0};                  // the menu's position when the row was added
        std::shared_ptr<pureText> label;          // black, in the menu's font
        OptionColors colors;
        bool selected = false;
        bool hovered = false;

        // Row i of a menu at (x, y) with rows of size (w, h) drops from (x, y + h + 15) to
        // (x, y + h + 15 + i * (h + 1)) at `slideSpeed` pixels per frame. It sits at (0, 0)
        // until the menu first opens.
        PullDownOption(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 menuPosition,
                       std::string text, int32_t index, TTF_Font* font, OptionColors colors);

        // Starts the drop again from the top.
        void restartSlide();
        // Advances the drop by the frames that have passed since the last call, fills the row
        // and draws its label. The drop is paced by time (at `framesPerSecond`), not by calls:
        // drawing a row more than once in a frame does not speed it up.
        void render() override;

        static constexpr int slideSpeed = 6;
        static constexpr Uint32 framesPerSecond = 60;

    private:
        Uint32 slideStartedAt = 0;  // SDL_GetTicks at the last restart
        Uint32 slideFrames = 0;     // frames stepped since then
    };

    TTF_Font* font = nullptr;  // label font; not owned
    bool expanded = false;     // the rows are shown
    bool hovered = false;      // the pointer is over the collapsed header
    bool enabled = false;      // the menu may open; set by its owner before each press
    uint8_t selectedIndex = 0;
    SDL_Texture* left = nullptr;  // header slices, owned
    SDL_Texture* middle = nullptr;
    SDL_Texture* right = nullptr;
    SDL_Rect leftRect{0, 0, 0, 0};
    SDL_Rect middleRect{0, 0, 0, 0};
    SDL_Rect rightRect{0, 0, 0, 0};
    std::vector<std::shared_ptr<PullDownOption>> options;
    std::function<void(unsigned char)> onSelect;  // a row the user picked
    glm::ivec2 optionSize{0, 0};
    std::shared_ptr<pureText> header;  // the selected row's text
    OptionColors optionColors;

    static constexpr const char* leftImage = "./image/pull_button_L.png";
    static constexpr const char* middleImage = "./image/pull_button_M.png";
    static constexpr const char* rightImage = "./image/pull_button_R.png";

    PullDownMenu(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position,
                 glm::ivec2 optionSize, TTF_Font* font);
    ~PullDownMenu() override;

    static std::shared_ptr<PullDownMenu> create(SDL_Renderer* renderer, glm::ivec2 size,
                                                glm::ivec2 position, glm::ivec2 optionSize,
                                                TTF_Font* font);

    void addOption(const std::string& text);
    // Marks row `index` as the selection and shows its text in the header, without telling
    // anyone: how a remembered choice is shown. An index beyond the rows changes nothing.
    void showSelection(uint8_t index);

    // Header slices: the fade under the pointer, then the header text, then (while open)
    // every row.
    void render() override;
    bool onPress(glm::ivec2 point) override;
    // The base move or resize followed by the slice layout; rows and header text stay.
    void setPosition(glm::ivec2 position) override;
    void resize(glm::ivec2 size) override;
    // Pointer motion: the hover states of header and rows. Always false: the menu never
    // turns the cursor into a hand.
    bool isInside(glm::ivec2 point) override;

    // Where the slices go for the current `rect` (widened to the slices' natural widths when
    // narrower).
    void layoutSlices();

    static constexpr Uint8 hoverAlpha = 64;
};
