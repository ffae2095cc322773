#include <gtest/gtest.h>

#include "app/graphics_setup.h"

namespace {

TEST(AudioDriverChoice, DirectSoundWinsThenWinmmElseSdlChooses) {
    using Names = std::vector<std::string>;
    const struct {
        Names available;
        std::optional<std::string> chosen;
    } cases[] = {
        {{"winmm", "directsound", "disk"}, "directsound"},
        {{"directsound", "winmm"}, "directsound"},
        {{"wasapi", "winmm"}, "winmm"},
        {{"pulseaudio", "alsa", "dummy"}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(chooseAudioDriver(c.available), c.chosen);
}

TEST(RendererReport, NamesFlagsInOrderAndTextureFormats) {
    SDL_RendererInfo info{};
    info.name = "opengl";
    info.flags = SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC | SDL_RENDERER_TARGETTEXTURE;
    info.num_texture_formats = 2;
    info.texture_formats[0] = SDL_PIXELFORMAT_ARGB8888;
    info.texture_formats[1] = SDL_PIXELFORMAT_YV12;
    EXPECT_EQ(rendererReport(info),
              "Renderer dirver: opengl\n"
              "Renderer Mode: ACCELERATED, PRESENTVSYNC, TARGETTEXTURE\n"
              "SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_YV12\n");

    info.name = "software";
    info.flags = SDL_RENDERER_SOFTWARE;
    info.num_texture_formats = 0;
    EXPECT_EQ(rendererReport(info), "Renderer dirver: software\nRenderer Mode: SOFTWARE, ");
}

}  // namespace
