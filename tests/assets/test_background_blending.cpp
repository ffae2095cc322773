// The background on a real renderer, drawn as the converter screen draws it: over the panel
// and a message line, first with the texture's default blend mode, then with the screen's
// custom mode (colour added unweighted). Both frames must look the same, leave no clear
// colour showing, and let the message line through.
#include "ui_document.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

struct Rendering {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    ~Rendering() {
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
    }
};

class AssetBackground : public ::testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() {
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "2");  // as the application sets it
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
};

TEST_P(AssetBackground, LooksTheSameInBothBlendModesOverThePanel) {
    const auto doc = kalo::test::loadUiDocument();
    const std::string path = kalo::test::binPath(doc["PARAM_OTHER"][GetParam()].get<std::string>());
    SDL_Surface* probe = IMG_Load(path.c_str());
    ASSERT_NE(probe, nullptr) << IMG_GetError();
    const int w = probe->w, h = probe->h;  // drawn at its own size: no filtering in the way
    SDL_FreeSurface(probe);

    Rendering r;
    r.window = SDL_CreateWindow("assets", 0, 0, w, h, SDL_WINDOW_HIDDEN);
    ASSERT_NE(r.window, nullptr) << SDL_GetError();
    r.renderer = SDL_CreateRenderer(r.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    if (!r.renderer) GTEST_SKIP() << "no accelerated renderer: " << SDL_GetError();
    SDL_Texture* target = SDL_CreateTexture(r.renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_TARGET, w, h);
    SDL_Texture* background = IMG_LoadTexture(r.renderer, path.c_str());
    ASSERT_NE(target, nullptr) << SDL_GetError();
    ASSERT_NE(background, nullptr) << IMG_GetError();
    const SDL_BlendMode screenMode = SDL_ComposeCustomBlendMode(
        SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD,
        SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD);
    if (SDL_SetTextureBlendMode(background, screenMode) != 0) GTEST_SKIP() << "renderer lacks custom blend modes";

    const double s = double(h) / doc["PARAM_OTHER"]["defaultWindowSizeY"].get<int>();
    const SDL_Rect panel{0, 25, w, h - 50};
    const SDL_Rect band{int(20 * s), h - int(150 * s), int(300 * s), int(17 * s)};
    auto frame = [&](SDL_BlendMode mode) {
        SDL_SetRenderTarget(r.renderer, target);
        SDL_SetRenderDrawBlendMode(r.renderer, SDL_BLENDMODE_NONE);
        SDL_SetRenderDrawColor(r.renderer, 255, 0, 255, 255);
        SDL_RenderClear(r.renderer);
        SDL_SetRenderDrawColor(r.renderer, 246, 246, 246, 255);
        SDL_RenderFillRect(r.renderer, &panel);
        SDL_SetRenderDrawBlendMode(r.renderer, SDL_BLENDMODE_BLEND);
        SDL_SetRenderDrawColor(r.renderer, 0, 0, 0, 64);
        SDL_RenderFillRect(r.renderer, &band);
        SDL_SetTextureBlendMode(background, mode);
        SDL_RenderCopy(r.renderer, background, nullptr, nullptr);
        std::vector<Uint8> pixels(size_t(w) * h * 4);
        EXPECT_EQ(SDL_RenderReadPixels(r.renderer, nullptr, SDL_PIXELFORMAT_RGBA32, pixels.data(), w * 4), 0)
            << SDL_GetError();
        return pixels;
    };
    const auto first = frame(SDL_BLENDMODE_BLEND);
    const auto later = frame(screenMode);

    int differing = 0, magenta = 0;
    for (size_t i = 0; i < later.size(); i += 4) {
        for (int c = 0; c < 3; ++c) differing += std::abs(first[i + c] - later[i + c]) > 3;
        magenta += later[i] > 200 && later[i + 1] < 60 && later[i + 2] > 200;
    }
    EXPECT_EQ(differing, 0) << "the first frame and later frames differ";
    EXPECT_EQ(magenta, 0) << "the clear colour shows through";
    const size_t inBand = (size_t(band.y + band.h / 2) * w + band.x + band.w / 2) * 4;
    EXPECT_LT(later[inBand], 210) << "the message line is hidden by the background";
}

INSTANTIATE_TEST_SUITE_P(BothVariants, AssetBackground,
                         ::testing::Values("MAIN_BACKGROUND720", "MAIN_BACKGROUND1080"));

}  // namespace
