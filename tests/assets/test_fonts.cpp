// The two fonts of the document: the CJK text font covers every string of the document and
// the common ideographs of file names; the icon font draws the glyphs the buttons use.
#include "ui_document.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace {

using kalo::test::binPath;
using nlohmann::json;

struct FontDeleter {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};
using Font = std::unique_ptr<TTF_Font, FontDeleter>;

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

std::string hex(char32_t cp) {
    std::ostringstream out;
    out << "U+" << std::hex << std::uppercase << static_cast<unsigned long>(cp);
    return out.str();
}

class AssetFonts : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(TTF_Init(), 0) << TTF_GetError(); }
    static void TearDownTestSuite() { TTF_Quit(); }

    Font open(const char* key, int pointSize) {
        const std::string path = binPath(doc["PARAM_OTHER"][key].get<std::string>());
        Font font(TTF_OpenFont(path.c_str(), pointSize));
        EXPECT_NE(font, nullptr) << path << ": " << TTF_GetError();
        return font;
    }

    json doc = kalo::test::loadUiDocument();
};

TEST_F(AssetFonts, TextFontIsTheSimplifiedChineseFace) {
    Font font = open("KALO_TITLEBARTEXTFONT", 13);
    ASSERT_NE(font, nullptr);
    const char* family = TTF_FontFaceFamilyName(font.get());
    ASSERT_NE(family, nullptr);
    EXPECT_STREQ(family, "Noto Sans CJK SC");
}

TEST_F(AssetFonts, TextFontHasAGlyphForEveryCharacterOfTheDocument) {
    Font font = open("KALO_TITLEBARTEXTFONT", 13);
    ASSERT_NE(font, nullptr);
    std::string missing;
    for (const auto& text : kalo::test::allStrings(doc)) {
        for (char32_t cp : kalo::test::codePoints(text)) {
            if (cp < 0x20) continue;  // line breaks of message texts
            if (!TTF_GlyphIsProvided32(font.get(), cp)) missing += hex(cp) + " in \"" + text + "\"\n";
        }
    }
    EXPECT_TRUE(missing.empty()) << missing;
}

TEST_F(AssetFonts, TextFontCoversTheCommonIdeographsOfFileNames) {
    Font font = open("KALO_TITLEBARTEXTFONT", 13);
    ASSERT_NE(font, nullptr);
    int missing = 0;
    char32_t first = 0;
    for (char32_t cp = 0x4E00; cp <= 0x9FA5; ++cp) {  // the unified ideographs of GBK
        if (!TTF_GlyphIsProvided32(font.get(), cp)) {
            if (missing++ == 0) first = cp;
        }
    }
    EXPECT_EQ(missing, 0) << "first missing " << hex(first);
}

TEST_F(AssetFonts, IconFontDrawsTheButtonGlyphs) {
    Font font = open("KALO_BUTTONFONT", 34);
    ASSERT_NE(font, nullptr);
    const char32_t play = 0xE800, pause = 0xE801, stop = 0xE809;
    const auto folder = doc["PARAM_PATHBUTTON"]["iconFontnum"].get<char32_t>();
    for (char32_t cp : {play, pause, stop, folder}) {
        SCOPED_TRACE(hex(cp));
        EXPECT_TRUE(TTF_GlyphIsProvided32(font.get(), cp));
        Surface glyph(TTF_RenderGlyph32_Blended(font.get(), cp, SDL_Color{0, 0, 0, 255}));
        ASSERT_NE(glyph, nullptr) << TTF_GetError();
        Surface rgba(SDL_ConvertSurfaceFormat(glyph.get(), SDL_PIXELFORMAT_RGBA32, 0));
        ASSERT_NE(rgba, nullptr);
        int ink = 0;
        for (int y = 0; y < rgba->h; ++y) {
            const auto* row = static_cast<const Uint8*>(rgba->pixels) + y * rgba->pitch;
            for (int x = 0; x < rgba->w; ++x) ink += row[x * 4 + 3] > 128;
        }
        EXPECT_GT(ink, rgba->w * rgba->h / 10) << "the glyph is (nearly) empty";
    }
}

}  // namespace
