// Sliders and the conversion progress bar: the worked examples, dragging, and drawing by
// colour or image.
#include <gtest/gtest.h>

#include <vector>

#include "widget_test_support.h"
#include "widgets/final_progress_bar.h"
#include "widgets/sample_slider.h"

namespace {

bool sameRect(const SDL_Rect& a, const SDL_Rect& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

}  // namespace

TEST(SampleSlider, SeekSliderWorkedExample) {
    SampleSlider slider(nullptr, {0, 480, 880, 20});
    EXPECT_TRUE(sameRect(slider.trackRect, {0, 488, 880, 4}));
    EXPECT_TRUE(sameRect(slider.knobImageRect, {0, 480, 22, 22}));
    std::vector<float> reported;
    slider.setCallback([&reported](float v) { reported.push_back(v); });

    slider.drag({440, 490}, 1000);
    EXPECT_FLOAT_EQ(slider.value, 0.5f);
    EXPECT_EQ(slider.knobImageRect.x, 440);
    EXPECT_EQ(slider.knobPos.x, 440);
    slider.drag({440, 490}, 1000);
    EXPECT_EQ(reported, (std::vector<float>{0.5f})) << "the same value is reported once";

    struct Outside {
        glm::ivec2 p;
        const char* what;
    };
    for (const Outside& o : {Outside{{-5, 490}, "left of the slider"},
                             Outside{{900, 490}, "right of the slider"},
                             Outside{{880, 490}, "x - rect.x = w"},
                             Outside{{300, 480}, "top edge"},
                             Outside{{300, 500}, "bottom edge"}}) {
        slider.drag(o.p, 1000);
        EXPECT_FALSE(slider.hovered) << o.what;
        EXPECT_EQ(slider.knobImageRect.x, 440) << o.what;
    }
    EXPECT_EQ(reported.size(), 1u);

    slider.drag({879, 490}, 1000);
    EXPECT_EQ(slider.knobImageRect.x, 879);
    EXPECT_FLOAT_EQ(slider.value, 879.0f / 880.0f);
    EXPECT_EQ(reported.size(), 2u);

    slider.setValue(1.0f);
    EXPECT_EQ(slider.knobImageRect.x, 880);
    EXPECT_EQ(slider.knobRect.x, 880);
    slider.setValue(0.25f);
    EXPECT_EQ(slider.knobImageRect.x, 220);
}

TEST(SampleSlider, DragWithoutCallbackAndRelayoutAfterSetRect) {
    SampleSlider slider(nullptr, {0, 480, 880, 20});
    slider.drag({100, 490}, 1000);  // no callback yet: nothing to tell, nothing breaks
    EXPECT_EQ(slider.lastReported, 113u);
    slider.setRect({10, 400, 500, 30});
    EXPECT_TRUE(sameRect(slider.trackRect, {10, 412, 500, 6}));
    EXPECT_TRUE(sameRect(slider.knobImageRect, {10, 400, 22, 22}));
    EXPECT_EQ(slider.maxKnobX, 510);
}

TEST(SampleSlider, DrawsThePlayedPartAndTheKnobPicture) {
    SoftwareCanvas canvas(200, 40);
    canvas.clear({0, 0, 0, 255});
    SampleSlider slider(canvas.renderer, {0, 10, 200, 20});
    slider.fillColor = {180, 180, 180, 255};
    slider.setKnobImage(writeSolidPng("knob.png", 22, 22, {255, 0, 0, 255}));
    ASSERT_NE(slider.knobImage, nullptr);
    slider.setValue(0.5f);
    slider.render();
    EXPECT_EQ(canvas.pixel(50, 20), (Rgba{180, 180, 180, 255}));   // played part of the track
    EXPECT_EQ(canvas.pixel(50, 12), (Rgba{0, 0, 0, 255}));         // above the track
    EXPECT_EQ(canvas.pixel(105, 12), (Rgba{255, 0, 0, 255}));      // knob from x = 100
    EXPECT_EQ(canvas.pixel(150, 20), (Rgba{0, 0, 0, 255}));        // not played yet

    SampleSlider noPicture(canvas.renderer, {0, 10, 200, 20});
    noPicture.setKnobImage("./image/no-such-stick.png");
    EXPECT_EQ(noPicture.knobImage, nullptr);
    noPicture.render();
}

TEST(SliderBase, DrawsTrackPlayedPartAndKnob) {
    SoftwareCanvas canvas(100, 20);
    canvas.clear({0, 0, 0, 255});
    SliderBase slider(canvas.renderer, {0, 0, 100, 20});
    slider.setValue(0.3f);
    EXPECT_EQ(slider.knobRect.x, 30);
    slider.render();
    EXPECT_EQ(canvas.pixel(10, 10), (Rgba{0, 192, 192, 255}));
    EXPECT_EQ(canvas.pixel(60, 10), (Rgba{128, 128, 128, 255}));
    EXPECT_EQ(canvas.pixel(60, 2), (Rgba{0, 0, 0, 255}));  // knob width 0 draws no knob
}

TEST(FinalProgressBar, PlacedAtTheBottomOfItsDesignRectangle) {
    FinalProgressBar bar(nullptr, {0, 0, 0, 0});
    bar.designRect = {33, 402, 759, 108};
    bar.barHeight = 20;
    bar.text = TextBase::create(nullptr, nullptr, {0, 0, 0, 255}, "", {0, 0});
    bar.setPosition({999, 999});
    EXPECT_TRUE(sameRect(bar.rect, {33, 490, 759, 20}));
    EXPECT_TRUE(sameRect(bar.trackRect, {33, 498, 759, 4}));
    EXPECT_EQ(bar.knobRect.x, 33);
    EXPECT_EQ(bar.text->rect.x, 1048);
    EXPECT_EQ(bar.text->rect.y, 490);
    bar.setValue(0.5f);
    EXPECT_EQ(bar.knobRect.x, 33 + 379);
    EXPECT_FALSE(bar.finished);
    EXPECT_EQ(bar.progress, 0.0f);
}

TEST(FinalProgressBar, DrawsColoursWithoutImages) {
    SoftwareCanvas canvas(220, 40);
    canvas.clear({0, 0, 0, 255});
    FinalProgressBar bar(canvas.renderer, {10, 10, 200, 20});
    bar.barColor = {75, 75, 75, 255};
    bar.backgroundColor = {242, 242, 242, 255};
    bar.setImages("./image/no-such-progress.png", "");
    EXPECT_EQ(bar.barImage, nullptr);
    EXPECT_EQ(bar.backgroundImage, nullptr);
    bar.render();  // at 0 % no column of the done colour shows
    EXPECT_EQ(canvas.countDiffering(bar.rect, rgba(bar.backgroundColor)), 0);
    bar.knobRect.x = 10 + 50;  // as the progress monitor writes it for 25 %
    bar.render();
    EXPECT_EQ(canvas.pixel(11, 11), (Rgba{75, 75, 75, 255}));
    EXPECT_EQ(canvas.pixel(59, 29), (Rgba{75, 75, 75, 255}));
    EXPECT_EQ(canvas.pixel(60, 20), (Rgba{242, 242, 242, 255}));
    EXPECT_EQ(canvas.pixel(209, 29), (Rgba{242, 242, 242, 255}));
    EXPECT_EQ(canvas.pixel(5, 20), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(canvas.pixel(100, 32), (Rgba{0, 0, 0, 255}));
}

TEST(FinalProgressBar, DrawsImagesAndItsText) {
    SoftwareCanvas canvas(220, 40);
    canvas.clear({0, 0, 0, 255});
    FinalProgressBar bar(canvas.renderer, {10, 10, 200, 20});
    bar.barColor = {75, 75, 75, 255};
    bar.setImages(writeSolidPng("bar.png", 4, 4, {0, 200, 0, 255}),
                  writeSolidPng("bar_bg.png", 4, 4, {0, 0, 200, 255}));
    ASSERT_NE(bar.barImage, nullptr);
    ASSERT_NE(bar.backgroundImage, nullptr);
    bar.setValue(0.75f);
    bar.render();
    EXPECT_EQ(canvas.pixel(20, 20), (Rgba{0, 200, 0, 255}));
    EXPECT_EQ(canvas.pixel(200, 20), (Rgba{0, 0, 200, 255}));

    const std::string fontPath = textFontPath();
    if (fontPath.empty()) return;
    TTF_Font* font = TTF_OpenFont(fontPath.c_str(), 12);
    bar.text = TextBase::create(font, canvas.renderer, {255, 255, 255, 255}, "42%", {170, 12});
    canvas.clear({0, 0, 0, 255});
    bar.render();
    EXPECT_GT(canvas.countDiffering(bar.text->rect, {0, 0, 200, 255}), 5);
    bar.text.reset();
    TTF_CloseFont(font);
}
