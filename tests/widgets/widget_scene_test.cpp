// A small scene in a real window: widgets, texts, a seek slider, the progress bar with its
// text and the message list, drawn together as the screens will draw them. Set
// KALO_WIDGET_DEMO_SECONDS to keep the window up that long (for a screenshot).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "config/json_base.h"
#include "widget_test_support.h"
#include "widgets/ani_text_list.h"
#include "widgets/final_progress_bar.h"
#include "widgets/icon_text.h"
#include "widgets/sample_slider.h"
#include "widgets/text_base.h"
#include "widgets/widget_list.h"

namespace {

Rgba readPixel(SDL_Renderer* renderer, int x, int y) {
    Uint8 p[4] = {0, 0, 0, 0};
    SDL_Rect one{x, y, 1, 1};
    SDL_RenderReadPixels(renderer, &one, SDL_PIXELFORMAT_RGBA32, p, 4);
    return {p[0], p[1], p[2], p[3]};
}

std::shared_ptr<ButtonBase> button(SDL_Renderer* renderer, SDL_Rect r, SDL_Color color) {
    auto widget = std::shared_ptr<ButtonBase>(new ButtonBase(renderer, {r.w, r.h}, {r.x, r.y}));
    widget->setColor(color);
    return widget;
}

}  // namespace

TEST(WidgetScene, DrawsAllWidgetKindsTogether) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "no display: " << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("widgets", 0, 0, 1152, 648, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    ASSERT_NE(renderer, nullptr) << SDL_GetError();
    const std::string fontPath = textFontPath();
    TTF_Font* titleFont = fontPath.empty() ? nullptr : TTF_OpenFont(fontPath.c_str(), 28);
    TTF_Font* smallFont = fontPath.empty() ? nullptr : TTF_OpenFont(fontPath.c_str(), 14);

    {
        const WidgetList widgets{
            button(renderer, {37, 40, 173, 36}, otherColor("KALO_INPUTFILECOL")),
            button(renderer, {396, 36, 64, 36}, otherColor("KALO_POPUPCOL")),
            button(renderer, {884, 522, 180, 77}, otherColor("KALO_CONVERTBUTTONCOL")),
        };
        widgets[2]->onPress({900, 540});  // drawn in its pressed colour

        std::vector<std::shared_ptr<pureText>> texts{
            pureText::create(titleFont, renderer, {255, 255, 255, 255}, otherText("KALO_BRAND"),
                             {260, 100}),
            pureText::create(smallFont, renderer, {0, 0, 0, 255}, otherText("KALO_OPEN"),
                             {47, 48}),
            pureText::create(smallFont, renderer, {255, 255, 255, 255},
                             otherText("KALO_OUTPUT") + "... 3D/输出", {260, 150}),
        };
        auto glyph = iconText::create(titleFont, 0x25B6 /* ▶ */, renderer, {255, 255, 255, 255},
                                      {220, 100});

        SampleSlider slider(renderer, {40, 300, 700, 20});
        slider.fillColor = otherColor("KALO_SP_SLIDCOLBG");
        slider.setKnobImage(otherText("KALO_STICK"));
        if (!slider.knobImage)
            slider.setKnobImage(writeSolidPng("demo_knob.png", 22, 22, {255, 80, 0, 255}));
        slider.setValue(0.6f);

        FinalProgressBar bar(renderer, {0, 0, 0, 0});
        bar.designRect = {33, 402, 759, 108};
        bar.barHeight = 20;
        bar.barColor = otherColor("MAIN_PROGRESS_BAR");
        bar.backgroundColor = otherColor("MAIN_PROGRESS_BAR_BG");
        bar.setImages(otherText("MAIN_PROGRESS_IMG_BAR"), otherText("MAIN_PROGRESS_IMG_BAR_BG"));
        bar.text = pureText::create(smallFont, renderer, {0, 0, 0, 255},
                                    otherText("KALO_FINALDIAGLOG"), {0, 0});
        bar.setPosition({0, 0});
        bar.setValue(0.42f);
        bar.text->setText("42% " + otherText("KALO_LEFT") + "3" + otherText("KALO_MINUTES"));

        MainUIAniTextList messages(renderer, window, fontPath);
        EXPECT_EQ(messages.windowSize, glm::ivec2(1152, 648));
        messages.addText("输入文件: /videos/holiday.mp4");
        messages.addText("输出文件夹: /videos/3D");
        messages.addText("3D mode: side by side");

        const char* hold = std::getenv("KALO_WIDGET_DEMO_SECONDS");
        const Uint32 holdMs = hold ? Uint32(std::atoi(hold)) * 1000u : 0u;
        const Uint32 began = SDL_GetTicks();
        int frames = 0;
        do {
            SDL_Event event;
            while (SDL_PollEvent(&event)) {}
            SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
            SDL_SetRenderDrawColor(renderer, 40, 44, 52, 255);
            SDL_RenderClear(renderer);
            renderWidgets(widgets);
            for (const auto& text : texts) text->draw();
            glyph->draw();
            slider.render();
            bar.render();
            messages.render();
            ++frames;
            if (frames == 10) {
                // Checked before presenting, while the frame is still in the back buffer.
                const Rgba done = readPixel(renderer, 340, 500);
                const Rgba rest = readPixel(renderer, 780, 495);
                if (!bar.barImage) {
                    EXPECT_EQ(done, rgba(bar.barColor));
                }
                if (!bar.backgroundImage) {
                    EXPECT_EQ(rest, rgba(bar.backgroundColor));
                }
                EXPECT_FALSE(done == rest);
                EXPECT_EQ(readPixel(renderer, 100, 310), rgba(slider.fillColor));
                EXPECT_EQ(readPixel(renderer, 890, 530), (Rgba{128, 128, 128, 255}));
                EXPECT_EQ(readPixel(renderer, 600, 20), (Rgba{40, 44, 52, 255}));
            }
            SDL_RenderPresent(renderer);
            SDL_Delay(16);
        } while (frames < 10 || SDL_GetTicks() - began < holdMs);
        EXPECT_EQ(messages.lines.back()->rect.y, 648 - 150);
        EXPECT_EQ(bar.knobRect.x, 33 + int(759 * 0.42f));
    }

    if (titleFont) TTF_CloseFont(titleFont);
    if (smallFont) TTF_CloseFont(smallFont);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
