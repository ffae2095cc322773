// The start-up preload: what the worker opened is what the screen gets, taken once, and
// nothing it holds outlives it. Each file is removed from disk once the preload is done,
// so only what the preload itself read can answer.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "widget_test_support.h"
#include "widgets/asset_preload.h"
#include "widgets/font_cache.h"

namespace {

std::string copyOf(const std::string& source, const std::string& name) {
    const auto path = std::filesystem::path(KALO_TEST_BIN_DIR) / "widget-images" / name;
    std::filesystem::create_directories(path.parent_path());
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    return path.string();
}

}  // namespace

TEST(AssetPreload, TheScreenTakesWhatTheWorkerOpenedAndLeftoversGoWithThePreload) {
    const std::string font = textFontPath();
    ASSERT_FALSE(font.empty()) << "no text font on this machine";
    const std::string fontCopy = copyOf(font, "preload-font.otf");
    const std::string red = writeSolidPng("preload-red.png", 8, 4, SDL_Color{255, 0, 0, 255});
    const std::string unused = writeSolidPng("preload-unused.png", 2, 2, SDL_Color{0, 0, 255, 255});
    const std::string missing = red + ".missing";
    SoftwareCanvas canvas(16, 8);
    canvas.clear({0, 0, 0, 255});

    {
        kalo::AssetPreload preload({{{fontCopy, 17}, {missing, 12}}, {red, missing, unused}});
        preload.finish();
        std::filesystem::remove(fontCopy);
        std::filesystem::remove(red);
        std::filesystem::remove(unused);

        TTF_Font* opened = acquireFont(fontCopy, 17);
        EXPECT_NE(opened, nullptr) << "the font was not opened ahead";
        releaseFont(opened);

        SDL_Texture* picture = kalo::loadTexture(canvas.renderer, red);
        ASSERT_NE(picture, nullptr) << "the picture was not decoded ahead";
        int width = 0;
        int height = 0;
        SDL_QueryTexture(picture, nullptr, nullptr, &width, &height);
        EXPECT_EQ(width, 8);
        EXPECT_EQ(height, 4);
        SDL_RenderCopy(canvas.renderer, picture, nullptr, nullptr);
        SDL_RenderPresent(canvas.renderer);
        EXPECT_EQ(canvas.pixel(12, 6), (Rgba{255, 0, 0, 255}));
        SDL_DestroyTexture(picture);

        // Taken once: a second ask reads the file again, which is gone now.
        EXPECT_EQ(kalo::loadTexture(canvas.renderer, red), nullptr);
        EXPECT_EQ(kalo::loadTexture(canvas.renderer, missing), nullptr);
    }

    // The preload's own references and the picture nobody took went with it.
    EXPECT_EQ(acquireFont(fontCopy, 17), nullptr);
    EXPECT_EQ(kalo::loadTexture(canvas.renderer, unused), nullptr);
}
