// The four widgets in a real window, drawn the way the converter screen composes a frame
// (magenta, the panel, the background, the widgets), compared with the design references
// inside each widget's rectangle. The frames are kept as PNG files beside the test's folder.
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "config/json_base.h"
#include "config/option_tables.h"
#include "screen/conver_cover_button.h"
#include "screen/input_file_button.h"
#include "screen/middle_path_button.h"
#include "platform/text_encoding.h"
#include "screen_button_support.h"
#include "widget_test_support.h"
#include "widgets/main_background.h"
#include "widgets/widget_list.h"

using namespace screentest;

namespace {

// An RGBA copy of a picture, for comparing regions.
struct Picture {
    SDL_Surface* surface = nullptr;
    explicit Picture(SDL_Surface* s) {
        if (s) surface = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_RGBA32, 0);
        if (s) SDL_FreeSurface(s);
    }
    ~Picture() {
        if (surface) SDL_FreeSurface(surface);
    }
    Rgba at(int x, int y) const {
        const auto* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * 4;
        return {p[0], p[1], p[2], p[3]};
    }
};

// Mean absolute difference per colour channel over the rectangle.
double meanDifference(const Picture& a, const Picture& b, SDL_Rect area) {
    double sum = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x) {
            const Rgba p = a.at(x, y), q = b.at(x, y);
            sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
        }
    return sum / (3.0 * area.w * area.h);
}

class WindowScene : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS), 0) << SDL_GetError();
        refreshOptionTables();
        window = SDL_CreateWindow("screen buttons", SDL_WINDOWPOS_UNDEFINED,
                                  SDL_WINDOWPOS_UNDEFINED, 1152, 648, SDL_WINDOW_SHOWN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        renderer = SDL_CreateRenderer(window, -1, 0);
        ASSERT_NE(renderer, nullptr) << SDL_GetError();
        font = TTF_OpenFont(otherText("KALO_BUTTONFONT").c_str(),
                            uiConfig->getInt("PARAM_CONVER", "fontSize"));
        build();
    }
    void TearDown() override {
        widgets.clear();
        background.reset();
        if (font) TTF_CloseFont(font);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        SDL_Quit();
    }

    // As the screen builds them, from the configuration.
    void build() {
        background = std::make_shared<mainBackground>(renderer, glm::ivec2{1152, 648},
                                                      glm::ivec2{0, 0}, otherText("MAIN_BACKGROUND720"),
                                                      otherText("MAIN_BACKGROUND1080"));
        input = std::make_shared<InputFileButton>(renderer, uiConfig->getPoint("PARAM_INPUTFILE", "Size"),
                                                  uiConfig->getPoint("PARAM_INPUTFILE", "pos"));
        input->setColor(otherColor("KALO_INPUTFILECOL"));
        input->setFolderImage(otherText("OPTION_FOLDER"));
        cover = std::make_shared<ConverCoverButton>(font, renderer,
                                                    uiConfig->getPoint("PARAM_CONVER", "Size"),
                                                    uiConfig->getPoint("PARAM_CONVER", "pos"),
                                                    &converting);
        path = std::make_shared<middlePathbutton>(renderer,
                                                  uiConfig->getPoint("PARAM_PATHBUTTON", "Size"),
                                                  uiConfig->getPoint("PARAM_PATHBUTTON", "pos"));
        path->setColor(otherColor("KALO_INPUTFILECOL"));
        // The line in opaque black: the configured text colour's alpha is the text widgets'
        // business, not this scene's.
        path->setPathLabel(otherText("KALO_TITLEBARTEXTFONT"), {0, 0, 0, 255},
                           uiConfig->getPoint("PARAM_INPUTFILE", "textpos"),
                           kalo::utf8ToWide(otherText("KALO_INPUT")),
                           kalo::utf8ToWide(otherText("KALO_OPEN")));
        path->setIcon(otherText("KALO_BUTTONFONT"), 62658, otherColor("KALO_FOLDERCOL"),
                      uiConfig->getInt("PARAM_PATHBUTTON", "fontSize"));
        // The relayout the screen runs on every resize.
        input->resize(uiConfig->getPoint("PARAM_INPUTFILE", "Size"));
        cover->setPosition(uiConfig->getPoint("PARAM_CONVER", "pos"));
        cover->resize({1152, 648});
        path->setPosition(uiConfig->getPoint("PARAM_PATHBUTTON", "pos"));
        path->resize({1152, 648});
        background->resize({1152, 648});
        widgets = {input, cover, path};
    }

    // One frame as the screen draws it, read back and kept as `name`.
    std::unique_ptr<Picture> frame(const std::string& name, glm::ivec2 size = {1152, 648}) {
        SDL_SetRenderDrawColor(renderer, 255, 0, 255, 255);
        SDL_RenderClear(renderer);
        const SDL_Rect panel{0, 5, size.x, size.y - 50};
        SDL_SetRenderDrawColor(renderer, 246, 246, 246, 255);
        SDL_RenderFillRect(renderer, &panel);
        background->render();
        renderWidgets(widgets);
        SDL_Surface* shot = SDL_CreateRGBSurfaceWithFormat(0, size.x, size.y, 32, SDL_PIXELFORMAT_RGBA32);
        SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGBA32, shot->pixels, shot->pitch);
        SDL_RenderPresent(renderer);
        IMG_SavePNG(shot, (folder / name).c_str());
        return std::make_unique<Picture>(shot);
    }

    fs::path folder = testFolder();
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    TTF_Font* font = nullptr;
    bool converting = false;
    std::shared_ptr<mainBackground> background;
    std::shared_ptr<InputFileButton> input;
    std::shared_ptr<ConverCoverButton> cover;
    std::shared_ptr<middlePathbutton> path;
    WidgetList widgets;
};

Picture reference(const std::string& name) {
    return Picture(IMG_Load((std::string(KALO_SOURCE_DIR) + "/assets/design/" + name).c_str()));
}

const SDL_Rect inputArea{37, 40, 173, 36};
const SDL_Rect convertArea{884, 522, 180, 77};
const SDL_Rect checkBoxArea{882, 603, 135, 23};
const SDL_Rect pathArea{45, 542, 319, 42};

}  // namespace

TEST_F(WindowScene, TheWidgetsDrawAsTheLoadedDesign) {
    // Twice: from the second frame on the background draws with its own blend mode.
    frame("loaded-first.png");
    const auto shot = frame("converter_loaded.png");
    const Picture design = reference("converter_loaded.png");
    ASSERT_TRUE(shot->surface && design.surface);
    for (const SDL_Rect& area : {inputArea, convertArea, checkBoxArea, pathArea})
        EXPECT_LT(meanDifference(*shot, design, area), 4.0)
            << area.x << "," << area.y << " " << area.w << "x" << area.h;
    // The background covers the window: nothing is left magenta.
    EXPECT_FALSE(shot->at(5, 2) == (Rgba{255, 0, 255, 255}));
    EXPECT_FALSE(shot->at(1100, 640) == (Rgba{255, 0, 255, 255}));
}

TEST_F(WindowScene, WhileConvertingTheStopFaceIsDrawn) {
    converting = true;
    frame("converting-first.png");
    const auto shot = frame("converter_converting.png");
    const Picture design = reference("converter_converting.png");
    ASSERT_TRUE(shot->surface && design.surface);
    for (const SDL_Rect& area : {inputArea, convertArea, checkBoxArea})
        EXPECT_LT(meanDifference(*shot, design, area), 4.0)
            << area.x << "," << area.y << " " << area.w << "x" << area.h;
}

TEST_F(WindowScene, InAWideWindowTheButtonsGrowAndTheWideBackgroundIsDrawn) {
    SDL_SetWindowSize(window, 1920, 1080);
    const glm::ivec2 wide{1920, 1080};
    input->resize(uiConfig->getPoint("PARAM_INPUTFILE", "Size"));
    cover->setPosition(uiConfig->getPoint("PARAM_CONVER", "pos"));
    cover->resize(wide);
    path->setPosition(uiConfig->getPoint("PARAM_PATHBUTTON", "pos"));
    path->resize(wide);
    background->resize(wide);
    setWidgetsWindowSize(widgets, wide);
    converting = true;
    // The X server applies the new size when it gets to it: wait (bounded) for it.
    int w = 0, h = 0;
    for (const Uint32 start = SDL_GetTicks(); SDL_GetTicks() - start < 3000; SDL_Delay(10)) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        SDL_GetRendererOutputSize(renderer, &w, &h);
        if (w == 1920 && h == 1080) break;
    }
    ASSERT_EQ(w, 1920) << "the window manager kept the window smaller";
    ASSERT_EQ(h, 1080);
    frame("wide-first.png", wide);
    const auto shot = frame("converter_wide.png", wide);
    const Picture design = reference("converter_wide.png");
    ASSERT_TRUE(shot->surface && design.surface);
    EXPECT_EQ(cover->stopButton->rect.w, 300);
    // The save-path picture around its line (the line's glyphs are placed by the design
    // generator a pixel apart from the font library).
    const SDL_Rect caption{45, 542, 95, 42}, folderButton{313, 542, 51, 42};
    for (const SDL_Rect& area : {SDL_Rect{884, 522, 300, 128}, inputArea, caption, folderButton})
        EXPECT_LT(meanDifference(*shot, design, area), 4.0)
            << area.x << "," << area.y << " " << area.w << "x" << area.h;
}
