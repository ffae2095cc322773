#include "screen/pop_up_button.h"

#include <algorithm>
#include <iostream>
#include <utility>

#include "widgets/font_cache.h"
#include "config/json_base.h"
#include "config/option_tables.h"
#include "config/user_setting.h"
#include "conversion/windows_manager.h"
#include "platform/text_encoding.h"
#include "player/ffmpeg_helper.h"
#include "widgets/fill_rect.h"

namespace {

const char* const fontKey = "KALO_TITLEBARTEXTFONT";
const char* const noticeKey = "KALO_POPUP_INFO";
const int filterMenuHeight = 40;
const int filterMenuPadding = 30;

std::vector<std::string> filterLabels() {
    std::vector<std::string> labels;
    for (const auto& row : filterTable) labels.push_back(row.second);
    return labels;
}

std::vector<std::string> modeLabels() {
    std::vector<std::string> labels;
    for (const auto& row : modeTable) labels.push_back(row.first);
    return labels;
}

std::vector<std::string> outputLabels() {
    std::vector<std::string> labels;
    for (const auto& row : outputTable) labels.push_back(kalo::wideToUtf8(row.name));
    return labels;
}

}  // namespace

PopUpButton::PopUpButton(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position,
                         std::shared_ptr<FFmpegHelper> engine_)
    : ButtonBase(renderer_, size, position), engine(std::move(engine_)), job(windowsManager) {
    refreshOptionTables();
    const std::string fontPath = otherText(fontKey);
    font = acquireFont(fontPath.c_str(), fontSize);
    if (!font) std::cout << "Cannot open the option bar font " << fontPath << std::endl;

    buildMenu("PARAM_FILTER_OPTION", "OPTION_FILTER", filterLabels(),
              &PopUpButton::onFilterSelected);
    buildMenu("PARAM_OPTION_THREED", "OPTION_THREED", modeLabels(), &PopUpButton::onModeSelected);
    buildMenu("PARAM_OPTION_OUTPUT", "OPTION_OUTPUT", outputLabels(),
              &PopUpButton::onOutputSelected);

    // The last choices are only shown; the job and the preview hear of a choice when the
    // user picks a row.
    for (std::size_t i = 0; i < menus.size(); ++i) {
        const int remembered =
            userSetting ? userSetting->getOption(UserSetting::sectionName, int(i)) : 0;
        if (remembered >= 0 && std::size_t(remembered) < menus[i]->options.size())
            menus[i]->showSelection(static_cast<uint8_t>(remembered));
    }

    info = pureText::create(font, renderer, {0, 0, 0, 255}, otherText(noticeKey), {0, 0});
}

PopUpButton::~PopUpButton() {
    // The texts rendered with the font are already made; only the font itself is ours.
    menus.clear();
    info.reset();
    if (font) releaseFont(font);
}

std::shared_ptr<PopUpButton> PopUpButton::create(SDL_Renderer* renderer, glm::ivec2 size,
                                                 glm::ivec2 position,
                                                 std::shared_ptr<FFmpegHelper> engine) {
    return std::shared_ptr<PopUpButton>(
        new PopUpButton(renderer, size, position, std::move(engine)));
}

int PopUpButton::filterMenuWidth(TTF_Font* font, const std::vector<std::string>& labels) {
    int widest = 0;
    for (const auto& label : labels) {
        int width = 0;
        if (font && TTF_SizeUTF8(font, label.c_str(), &width, nullptr) == 0)
            widest = std::max(widest, width);
    }
    return widest + filterMenuPadding;
}

void PopUpButton::buildMenu(const std::string& section, const std::string& captionKey,
                            const std::vector<std::string>& labels,
                            void (PopUpButton::*handler)(unsigned char)) {
    captions.push_back(ImageLayer::create(renderer, uiConfig->getPoint(section, "ImageLayerSize"),
                                          uiConfig->getPoint(section, "ImageLayerpos"),
                                          otherText(captionKey)));
    auto menu = PullDownMenu::create(renderer, uiConfig->getPoint(section, "Size"),
                                     uiConfig->getPoint(section, "pos"),
                                     uiConfig->getPoint(section, "optSize"), font);
    for (const auto& label : labels) menu->addOption(label);
    if (menus.size() == filterMenu)
        menu->resize({filterMenuWidth(font, labels), filterMenuHeight});
    menu->showSelection(0);
    menu->onSelect = [this, handler](unsigned char index) { (this->*handler)(index); };
    menus.push_back(std::move(menu));
}

bool PopUpButton::animating() const {
    if (infoVisible) return true;
    for (const auto& menu : menus)
        if (menu && menu->expanded) return true;
    return false;
}

bool PopUpButton::sourceOpen() const { return engine && engine->opened; }

void PopUpButton::render() {
    for (auto& menu : menus) menu->render();
    for (auto& caption : captions) caption->render();
    if (!infoVisible) return;
    fillRect(renderer, info->rect, infoBackground);
    info->draw();
    if (SDL_GetTicks() - infoShownAt > infoShowMs) infoVisible = false;
}

bool PopUpButton::onPress(glm::ivec2 point) {
    bool taken = false;
    const bool open = sourceOpen();
    for (std::size_t i = 0; i < menus.size(); ++i) {
        PullDownMenu& menu = *menus[i];
        menu.enabled = open;
        if (menu.onPress(point)) {
            if (!open) {
                infoVisible = true;
                infoShownAt = SDL_GetTicks();
                info->setPosition({point.x, point.y - infoRise});
            } else {
                infoVisible = false;
                taken = true;
            }
        }
        if (userSetting)
            userSetting->setOption(UserSetting::sectionName, int(i), menu.selectedIndex);
    }
    return taken;
}

bool PopUpButton::isInside(glm::ivec2 point) {
    if (!sourceOpen()) return false;
    bool inside = false;
    for (auto& menu : menus) inside = menu->isInside(point) || inside;
    return inside;
}

bool PopUpButton::isBlocking() {
    return std::any_of(menus.begin(), menus.end(), [](const std::shared_ptr<PullDownMenu>& menu) {
        return menu->isBlocking();
    });
}

void PopUpButton::onFilterSelected(unsigned char index) {
    if (engine) engine->setFilter(index);
    if (!job) return;
    JobSnapshot snapshot = job->snapshot();
    snapshot.filterIndex = index;
    job->update(snapshot);
}

void PopUpButton::onModeSelected(unsigned char index) {
    if (index > 2 || !job) return;
    JobSnapshot snapshot = job->snapshot();
    snapshot.modeIndex = index;
    job->update(snapshot);
}

void PopUpButton::onOutputSelected(unsigned char index) {
    if (index >= outputTable.size() || !job) return;
    JobSnapshot snapshot = job->snapshot();
    snapshot.resolutionIndex = outputTable[index].resolutionIndex;
    snapshot.bitrateIndex = outputTable[index].bitrateIndex;
    job->update(snapshot);
}
