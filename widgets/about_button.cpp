#include "widgets/about_button.h"

#include <sstream>

#include "config/json_base.h"
#include "platform/message_box.h"
#include "platform/text_encoding.h"
#include "widgets/fill_rect.h"

listOfComButton::listOfComButton(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position,
                                 glm::ivec2 startPoint)
    : ButtonBase(renderer_, size, position),
      slide(AnimationFactory::create(renderer_, {float(startPoint.x), float(startPoint.y)},
                                     {float(position.x), float(position.y)}, slideSpeed)) {}

void listOfComButton::render() {
    if (!visible) return;
    if (slide->active) {
        const glm::vec2 point = slide->step();
        rect.x = static_cast<int>(point.x);
        rect.y = static_cast<int>(point.y);
    }
    fillRect(renderer, rect, active ? selectedFillColor : fillColor);
    if (label) {
        label->setPosition({rect.x, rect.y});
        label->draw();
    }
}

bool listOfComButton::onPress(glm::ivec2 point) { return ButtonBase::onPress(point); }

const std::type_info& listOfComButton::typeId() const { return typeid(listOfComButton*); }

AboutButton::AboutButton(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position,
                         glm::ivec2 startPoint)
    : listOfComButton(renderer_, size, position, startPoint),
      closeLabel(otherText("KALO_CLOSE")), aboutTitle(otherText("KALO_ABOUT_TITLE")) {}

std::shared_ptr<AboutButton> AboutButton::create(SDL_Renderer* renderer, glm::ivec2 size,
                                                 glm::ivec2 position, glm::ivec2 startPoint) {
    return std::shared_ptr<AboutButton>(new AboutButton(renderer, size, position, startPoint));
}

void AboutButton::showAbout() {
    // The version belongs to the program, not to the configuration.
    std::wostringstream version;
    version << versionMajor << L'.' << versionMinor << L'.' << versionPatch;
    const std::wstring message = L"版本信息: " + version.str() + L"\n" + L"版权信息: " +
                                 uiConfig->getWString("PARAM_OTHER", "KALO_COPYRIGHT") + L"\n";
    aboutText = kalo::wideToUtf8(message);

    kalo::platform::MessageBoxRequest request;
    request.kind = kalo::platform::MessageBoxKind::Information;
    request.title = aboutTitle;
    request.text = aboutText;
    request.buttons.push_back({closeButtonId, closeLabel, false, false});
    // The answer does not matter: the close button and the window's close control both just
    // end the box. A box that could not be shown has been reported by the box itself.
    kalo::platform::showMessageBox(request);
}

void AboutButton::render() {
    if (!visible) return;
    fillRect(renderer, rect, fillColor);
    if (label) label->draw();
}

bool AboutButton::onPress(glm::ivec2 point) {
    if (!isInside(point)) {
        active = false;
        return false;
    }
    active = true;
    showAbout();
    return true;
}

const std::type_info& AboutButton::typeId() const { return typeid(AboutButton*); }
