#pragma once
// The option bar across the top of the converter screen: three captioned pull-down menus for
// the colour filter, the 3D mode and the output quality. It works only while the media
// engine has a source open; a press on a menu before that shows a short notice instead and
// travels on to the widgets after the bar. A picked row goes into the conversion job record
// (and, for the filter, into the preview); every press that reaches the bar writes the three
// current choices into the user profile.
//
// The screen draws the bar twice per frame (in its widget list and again on top, so that an
// open list covers every other widget); drawing is safe to repeat: nothing in it advances
// per call. The bar's own rectangle is neither drawn nor hit-tested.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <glm/vec2.hpp>
#include <memory>
#include <string>
#include <vector>

#include "widgets/button_base.h"
#include "widgets/image_layer.h"
#include "widgets/pull_down_menu.h"
#include "widgets/text_base.h"

class FFmpegHelper;
class WindowsManager;

class PopUpButton : public ButtonBase {
public:
    // Menu order, also the profile's option kinds.
    enum MenuIndex : std::size_t { filterMenu = 0, modeMenu = 1, outputMenu = 2 };

    std::vector<std::shared_ptr<PullDownMenu>> menus;  // filter, 3D mode, output
    std::vector<std::shared_ptr<ImageLayer>> captions;  // same order
    std::shared_ptr<FFmpegHelper> engine;               // its open source gates the menus
    std::shared_ptr<WindowsManager> job;                // the process-wide job record
    TTF_Font* font = nullptr;                           // owned
    std::shared_ptr<pureText> info;                     // "please choose a file first"
    bool infoVisible = false;
    uint32_t infoShownAt = 0;                           // SDL_GetTicks when shown

    static constexpr int fontSize = 20;
    static constexpr int infoRise = 40;          // the notice sits this far above the press
    static constexpr uint32_t infoShowMs = 2000;
    static constexpr SDL_Color infoBackground{200, 200, 200, 255};

    // Rebuilds the option tables from the configuration, builds the captions and menus from
    // the layout and restores the profile's last choices into what the menus show (the job
    // record and the preview hear of a choice only when the user picks a row).
    PopUpButton(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position,
                std::shared_ptr<FFmpegHelper> engine);
    ~PopUpButton() override;

    static std::shared_ptr<PopUpButton> create(SDL_Renderer* renderer, glm::ivec2 size,
                                               glm::ivec2 position,
                                               std::shared_ptr<FFmpegHelper> engine);

    // Menus, captions, then the notice while it shows (it hides itself on the first frame
    // more than infoShowMs after the press).
    void render() override;
    // Every menu sees every press. True only when a source is open and a menu took it.
    bool onPress(glm::ivec2 point) override;
    // Hover states of the menus while a source is open. Always false in practice: the
    // menus never ask for the hand cursor.
    bool isInside(glm::ivec2 point) override;
    // While any list is open.
    bool isBlocking() override;

    // Selection handlers, bound into the menus.
    void onFilterSelected(unsigned char index);
    void onModeSelected(unsigned char index);
    void onOutputSelected(unsigned char index);

    // The width the filter menu needs for its widest label: labels are measured as the UTF-8
    // text they are, so Chinese labels fit the header.
    static int filterMenuWidth(TTF_Font* font, const std::vector<std::string>& labels);

    // A list is open (its rows slide and follow the pointer) or an information line shows.
    bool animating() const;

private:
    bool sourceOpen() const;
    void buildMenu(const std::string& section, const std::string& captionKey,
                   const std::vector<std::string>& labels,
                   void (PopUpButton::*handler)(unsigned char));
};
