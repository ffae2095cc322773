#include "widget_test_support.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

// SDL_ttf and SDL_image for every test of the binary; video only where a display exists.
class WidgetEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
        IMG_Init(IMG_INIT_PNG);
    }
    void TearDown() override {
        IMG_Quit();
        TTF_Quit();
        SDL_Quit();
    }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new WidgetEnvironment);

}  // namespace

std::string textFontPath() {
    const std::string candidates[] = {
        std::string(KALO_BIN_DIR) + "/font/NotoSansCJKtc-Regular.otf",
        "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
        "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    };
    for (const auto& path : candidates)
        if (std::filesystem::exists(path)) return path;
    return {};
}

std::string writeSolidPng(const std::string& name, int width, int height, SDL_Color color) {
    const auto folder = std::filesystem::path(KALO_TEST_BIN_DIR) / "widget-images";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / name).string();
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, color.r, color.g, color.b, color.a));
    IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    return path;
}
