// Images the application loads: present in the build, readable by SDL_image, made for the
// rectangle they are drawn in; backgrounds that suit the screen's blending; the window icon.
#include "ui_document.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

using kalo::test::binPath;
using nlohmann::json;

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

Surface asRgba(Surface surface) {
    if (!surface) return nullptr;
    return Surface(SDL_ConvertSurfaceFormat(surface.get(), SDL_PIXELFORMAT_RGBA32, 0));
}

// Byte order of SDL_PIXELFORMAT_RGBA32 is r, g, b, a on every platform.
const Uint8* pixel(const SDL_Surface* s, int x, int y) {
    return static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * 4;
}

// Images the widgets name in code rather than in the document (the pull-down header slices).
const char* const kCodeNamedImages[] = {"./image/pull_button_L.png", "./image/pull_button_M.png",
                                        "./image/pull_button_R.png"};

struct DrawnImage {
    std::string path;
    int width;
    int height;
};

// Where the screen draws each image, in default-window pixels. Several sizes of the document
// are (height, width) pairs; they are turned round here.
std::vector<DrawnImage> drawnImages(const json& doc) {
    const json& other = doc["PARAM_OTHER"];
    auto x = [&](const char* section, const char* key) { return doc[section][key]["x"].get<int>(); };
    auto y = [&](const char* section, const char* key) { return doc[section][key]["y"].get<int>(); };
    const int windowW = other["defaultWindowSizeX"], windowH = other["defaultWindowSizeY"];
    const int designW = other["photoshopSizeX"];
    const json& play = doc["PARAM_PLAYBUTTON"];
    const json& check = doc["PARAM_BOOLFILENAME"];
    const json& info = doc["PARAM_VINFO"];
    return {
        {other["MAIN_BACKGROUND720"], windowW, windowH},
        {other["MAIN_BACKGROUND1080"], designW, designW * windowH / windowW},
        {other["KALO_IMAGEBUTTON"], x("PARAM_CONVER", "Size"), y("PARAM_CONVER", "Size")},
        {other["KALO_STOPIMAGEBUTTON"], x("PARAM_CONVER", "Size"), y("PARAM_CONVER", "Size")},
        {other["OPTION_FOLDER"], x("PARAM_INPUTFILE", "Size"), y("PARAM_INPUTFILE", "Size")},
        {other["OPTION_FILTER"], y("PARAM_FILTER_OPTION", "ImageLayerSize"),
         x("PARAM_FILTER_OPTION", "ImageLayerSize")},
        {other["OPTION_THREED"], y("PARAM_OPTION_THREED", "ImageLayerSize"),
         x("PARAM_OPTION_THREED", "ImageLayerSize")},
        {other["OPTION_OUTPUT"], y("PARAM_OPTION_OUTPUT", "ImageLayerSize"),
         x("PARAM_OPTION_OUTPUT", "ImageLayerSize")},
        {other["OPTION_SAVE"], y("PARAM_OUTPUTFILE", "imgsize"), x("PARAM_OUTPUTFILE", "imgsize")},
        {check["inimgPathPlay720"], y("PARAM_BOOLFILENAME", "Size"), x("PARAM_BOOLFILENAME", "Size")},
        {check["inimgPathPas720"], y("PARAM_BOOLFILENAME", "Size"), x("PARAM_BOOLFILENAME", "Size")},
        {other["KALO_STICK"], 22, 22},  // the seek slider's knob rectangle
        // The preview window's play / pause button is 40 x 40; the large images serve windows
        // wider than the default, where the button grows.
        {play["inimgPathPlay720"], 40, 40},
        {play["inimgPathPas720"], 40, 40},
        {play["inimgPathPlay"], 40, 40},
        {play["inimgPathPas"], 40, 40},
        // The information panel draws its icons at half their pixel size.
        {info["img_time"], 24, 24},
        {info["img_res"], 24, 24},
        {info["img_size"], 24, 24},
        {info["img_fmt"], 24, 24},
    };
}

class AssetImages : public ::testing::Test {
protected:
    static void SetUpTestSuite() { IMG_Init(IMG_INIT_PNG); }
    static void TearDownTestSuite() { IMG_Quit(); }

    json doc = kalo::test::loadUiDocument();
};

TEST_F(AssetImages, EveryImageTheApplicationNamesExistsAndLoads) {
    auto paths = kalo::test::imagePaths(doc);
    ASSERT_FALSE(paths.empty());
    paths.insert(paths.end(), std::begin(kCodeNamedImages), std::end(kCodeNamedImages));
    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        const std::string file = binPath(path);
        EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
        Surface image(IMG_Load(file.c_str()));
        ASSERT_NE(image, nullptr) << IMG_GetError();
        EXPECT_GT(image->w, 0);
        EXPECT_GT(image->h, 0);
    }
}

TEST_F(AssetImages, ImagesAreMadeForTheRectangleTheyAreDrawnIn) {
    // Drawn 1:1 or made at twice the size for scaling: either way never distorted.
    for (const auto& drawn : drawnImages(doc)) {
        SCOPED_TRACE(drawn.path);
        Surface image(IMG_Load(binPath(drawn.path).c_str()));
        ASSERT_NE(image, nullptr) << IMG_GetError();
        const bool natural = image->w == drawn.width && image->h == drawn.height;
        const bool doubled = image->w == 2 * drawn.width && image->h == 2 * drawn.height;
        EXPECT_TRUE(natural || doubled) << image->w << "x" << image->h << " for a rectangle of "
                                        << drawn.width << "x" << drawn.height;
    }
}

TEST_F(AssetImages, PullDownSlicesShareTheHeaderHeight) {
    int height = -1;
    for (const char* path : kCodeNamedImages) {
        SCOPED_TRACE(path);
        Surface slice(IMG_Load(binPath(path).c_str()));
        ASSERT_NE(slice, nullptr) << IMG_GetError();
        if (height < 0) height = slice->h;
        EXPECT_EQ(slice->h, height);
    }
    // The narrowest menu of the bar is 63 wide: the three slices must fit into it.
    Surface l(IMG_Load(binPath(kCodeNamedImages[0]).c_str()));
    Surface m(IMG_Load(binPath(kCodeNamedImages[1]).c_str()));
    Surface r(IMG_Load(binPath(kCodeNamedImages[2]).c_str()));
    ASSERT_TRUE(l && m && r);
    EXPECT_LE(l->w + m->w + r->w, doc["PARAM_OPTION_THREED"]["Size"]["x"].get<int>());
}

// The screen fills a light panel from y 25 to height - 25 (at least), draws its message lines,
// then the background over both; after the first frame the background is drawn with a blend
// mode that adds its colour unweighted (source factor ONE). The two modes agree only on
// opaque pixels and on transparent or translucent black ones. The background must also be
// opaque where the panel does not reach, and let the message lines (low on the left) through.
TEST_F(AssetImages, BackgroundsSuitTheScreensBlending) {
    const json& other = doc["PARAM_OTHER"];
    const int windowH = other["defaultWindowSizeY"];
    for (const char* key : {"MAIN_BACKGROUND720", "MAIN_BACKGROUND1080"}) {
        SCOPED_TRACE(key);
        Surface image = asRgba(Surface(IMG_Load(binPath(other[key]).c_str())));
        ASSERT_NE(image, nullptr) << IMG_GetError();
        const double scale = double(image->h) / windowH;
        int colouredTranslucent = 0, uncovered = 0, hidingMessages = 0, transparent = 0;
        for (int y = 0; y < image->h; ++y) {
            const double windowY = (y + 0.5) / scale;
            const bool outsidePanel = windowY < 25 || windowY >= windowH - 45;
            const bool messageBand = windowY >= windowH - 150 && windowY < windowH - 133;
            for (int x = 0; x < image->w; ++x) {
                const Uint8* p = pixel(image.get(), x, y);
                if (p[3] != 255 && (p[0] | p[1] | p[2]) != 0) ++colouredTranslucent;
                if (outsidePanel && p[3] != 255) ++uncovered;
                if (p[3] == 0) ++transparent;
                const double windowX = (x + 0.5) / scale;
                if (messageBand && windowX >= 20 && windowX < 320 && p[3] > 48) ++hidingMessages;
            }
        }
        EXPECT_EQ(colouredTranslucent, 0);
        EXPECT_EQ(uncovered, 0);
        EXPECT_EQ(hidingMessages, 0);
        EXPECT_GT(transparent, 0);
    }
}

TEST_F(AssetImages, WindowIconIsABmpWithTransparency) {
    Surface icon(SDL_LoadBMP(binPath("icon/KALO_ICON.bmp").c_str()));
    ASSERT_NE(icon, nullptr) << SDL_GetError();
    EXPECT_EQ(icon->w, icon->h);
    EXPECT_GE(icon->w, 32);
    EXPECT_NE(icon->format->Amask, 0u);
    Surface rgba = asRgba(std::move(icon));
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(pixel(rgba.get(), 0, 0)[3], 0) << "rounded corner";
    EXPECT_EQ(pixel(rgba.get(), rgba->w / 2, rgba->h / 2)[3], 255) << "opaque middle";
}

}  // namespace
