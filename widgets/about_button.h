#pragma once
// The About box: a modal message box with the program's version and rights notice, shown by
// the Help menu's About command. The button that shows it is never placed on a screen; the
// converter screen keeps one for the menu.
#include <SDL.h>

#include <cstdint>
#include <glm/vec2.hpp>
#include <memory>
#include <string>
#include <typeinfo>

#include "widgets/animation_factory.h"
#include "widgets/button_base.h"
#include "widgets/text_base.h"

// A list-entry button: a filled rectangle with a text that slides into place.
class listOfComButton : public ButtonBase {
public:
    bool visible = false;
    SDL_Color fillColor{0, 0, 0, 0};
    SDL_Color selectedFillColor{0, 0, 0, 0};
    std::shared_ptr<TextBase> label;            // empty until set
    std::shared_ptr<AnimationFactory> slide;    // from the start point to the position
    int32_t value = 0;

    // The entry slides from `startPoint` to `position` at `slideSpeed` pixels per frame.
    listOfComButton(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position,
                    glm::ivec2 startPoint);

    // While visible: steps the slide, fills the rectangle (with the selected colour while
    // pressed) and draws the label at its top-left corner. Nothing while hidden.
    void render() override;
    bool onPress(glm::ivec2 point) override;
    // The concrete class, for owners that keep entries of several kinds in one list.
    virtual const std::type_info& typeId() const;

    static constexpr int slideSpeed = 22;
};

class AboutButton : public listOfComButton {
public:
    std::string closeLabel;  // the box's only button
    std::string aboutText;   // rebuilt by every showAbout
    std::string aboutTitle;

    static constexpr int versionMajor = 1;
    static constexpr int versionMinor = 2;
    static constexpr int versionPatch = 0;
    static constexpr int closeButtonId = 1;

    // The converter screen keeps one that is never placed: zeros for all of these.
    explicit AboutButton(SDL_Renderer* renderer = nullptr, glm::ivec2 size = {0, 0},
                         glm::ivec2 position = {0, 0}, glm::ivec2 startPoint = {0, 0});

    static std::shared_ptr<AboutButton> create(SDL_Renderer* renderer, glm::ivec2 size,
                                               glm::ivec2 position, glm::ivec2 startPoint);

    // Two lines, version and rights notice; returns when the user has closed the box.
    void showAbout();

    void render() override;
    bool onPress(glm::ivec2 point) override;
    const std::type_info& typeId() const override;
};
