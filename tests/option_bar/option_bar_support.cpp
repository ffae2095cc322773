#include "option_bar_support.h"

#include <gtest/gtest.h>

#include "clip_factory.h"
#include "config/user_setting.h"
#include "conversion/windows_manager.h"
#include "platform/text_encoding.h"

namespace optionbar {

SDL_Event mouseButton(Uint32 type, int x, int y, Uint32 windowId) {
    SDL_Event event;
    SDL_zero(event);
    event.type = type;
    event.button.windowID = windowId;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    return event;
}

SDL_Event mouseMotion(int x, int y, Uint32 windowId) {
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = windowId;
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

SDL_Event key(Uint32 type, SDL_Keycode sym, Uint16 mod, Uint32 windowId) {
    SDL_Event event;
    SDL_zero(event);
    event.type = type;
    event.key.windowID = windowId;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sym;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
    event.key.keysym.mod = mod;
    return event;
}

std::shared_ptr<FFmpegHelper> openedEngine(SDL_Renderer* renderer) {
    auto engine = std::make_shared<FFmpegHelper>();
    engine->programPath = std::filesystem::path(KALO_BIN_DIR) / "kalo-converter";
    const auto clip = kalo::test::clip("count250.mp4");
    EXPECT_EQ(engine->open(kalo::pathToUtf8(clip), renderer), 0);
    EXPECT_TRUE(engine->opened);
    return engine;
}

void resetProcessRecords() {
    JobSnapshot fresh;
    fresh.input = L"/tmp/source.mp4";
    ASSERT_TRUE(windowsManager->update(fresh));
    for (int kind = 0; kind < 3; ++kind)
        userSetting->setOption(UserSetting::sectionName, kind, 0);
}

glm::ivec2 centre(const SDL_Rect& rect) { return {rect.x + rect.w / 2, rect.y + rect.h / 2}; }

}  // namespace optionbar
