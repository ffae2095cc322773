// Colour looks: every filter of the document has a .cube file that FFmpeg's lut3d accepts;
// each look keeps greys grey and rising, keeps skin tones natural, and the looks differ.
#include "lut_probe.h"
#include "ui_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

namespace {

using kalo::test::applyLut;
using kalo::test::Rgb;

double luma(const Rgb& c) { return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b; }

int spread(const Rgb& c) { return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}); }

double hueDegrees(const Rgb& c) {
    const double r = c.r, g = c.g, b = c.b;
    const double mx = std::max({r, g, b}), d = mx - std::min({r, g, b});
    if (d == 0) return 0;
    double h = mx == r ? std::fmod((g - b) / d, 6.0) : mx == g ? (b - r) / d + 2 : (r - g) / d + 4;
    return std::fmod(h * 60 + 360, 360);
}

double meanDifference(const std::vector<Rgb>& a, const std::vector<Rgb>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += std::abs(a[i].r - b[i].r) + std::abs(a[i].g - b[i].g) + std::abs(a[i].b - b[i].b);
    return sum / (3.0 * a.size());
}

std::vector<Rgb> palette() {
    std::vector<Rgb> colors;
    for (int r : {32, 80, 128, 176, 224})
        for (int g : {32, 80, 128, 176, 224})
            for (int b : {32, 80, 128, 176, 224})
                colors.push_back({uint8_t(r), uint8_t(g), uint8_t(b)});
    return colors;
}

// Light to dark skin.
const std::vector<Rgb> kSkin = {{241, 204, 178}, {224, 172, 138}, {194, 150, 130}, {160, 112, 86}, {115, 82, 68}};

class AssetLooks : public ::testing::Test {
protected:
    // file name -> path in the build, for every filter row of the document that names one
    std::map<std::string, std::string> lookFiles() const {
        std::map<std::string, std::string> files;
        for (const auto& row : doc["PARAM_CONVOPT"]["filter"]) {
            const std::string file = row["file"];
            if (!file.empty()) files[file] = kalo::test::binPath("filter/" + file);
        }
        return files;
    }

    std::vector<Rgb> run(const std::string& path, const std::vector<Rgb>& colors) const {
        const auto result = applyLut(path, colors);
        EXPECT_TRUE(result.error.empty()) << path << ": " << result.error;
        return result.colors;
    }

    nlohmann::json doc = kalo::test::loadUiDocument();
};

TEST_F(AssetLooks, EveryFilterOfTheDocumentConfiguresALut3dGraph) {
    const auto files = lookFiles();
    EXPECT_EQ(files.size(), 10u);
    for (const auto& [name, path] : files) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
        EXPECT_EQ(run(path, {{128, 128, 128}}).size(), 1u);
    }
}

TEST_F(AssetLooks, GreysStayGreyRisingAndOpenInTheMidTones) {
    std::vector<Rgb> ramp;
    for (int v = 0; v <= 255; v += 16) ramp.push_back({uint8_t(v), uint8_t(v), uint8_t(v)});
    ramp.push_back({255, 255, 255});
    for (const auto& [name, path] : lookFiles()) {
        SCOPED_TRACE(name);
        const auto out = run(path, ramp);
        ASSERT_EQ(out.size(), ramp.size());
        const Rgb mid = out[8];  // input 128
        EXPECT_LE(spread(mid), 24) << "mid-grey takes a colour cast";
        EXPECT_GE(luma(mid), 90);
        EXPECT_LE(luma(mid), 175);
        for (size_t i = 1; i < out.size(); ++i)
            EXPECT_GT(luma(out[i]), luma(out[i - 1])) << "the grey scale stalls at input " << int(ramp[i].r);
        EXPECT_GE(luma(out[11]) - luma(out[5]), 70) << "mid-tones (80 .. 176) are crushed";
    }
}

TEST_F(AssetLooks, SkinKeepsItsHueAndMoonIsMonochrome) {
    for (const auto& [name, path] : lookFiles()) {
        SCOPED_TRACE(name);
        if (name == "Moon.cube") {
            const auto out = run(path, palette());
            const auto coloured = std::count_if(out.begin(), out.end(), [](const Rgb& c) { return spread(c) > 3; });
            EXPECT_EQ(coloured, 0) << "of " << out.size() << " colours keep a colour";
            continue;
        }
        const auto out = run(path, kSkin);
        ASSERT_EQ(out.size(), kSkin.size());
        for (size_t i = 0; i < kSkin.size(); ++i) {
            const double shift = std::abs(std::remainder(hueDegrees(out[i]) - hueDegrees(kSkin[i]), 360.0));
            EXPECT_LE(shift, 12.0) << "skin tone " << i;
            EXPECT_GE(spread(out[i]), spread(kSkin[i]) / 2) << "skin tone " << i << " washed out";
        }
    }
}

TEST_F(AssetLooks, LooksDifferFromEachOtherAndFromNoFilter) {
    const auto colors = palette();
    std::map<std::string, std::vector<Rgb>> outputs;
    for (const auto& [name, path] : lookFiles()) {
        outputs[name] = run(path, colors);
        ASSERT_EQ(outputs[name].size(), colors.size()) << name;
        EXPECT_GE(meanDifference(outputs[name], colors), 4.0) << name << " looks like no filter";
    }
    for (auto a = outputs.begin(); a != outputs.end(); ++a)
        for (auto b = std::next(a); b != outputs.end(); ++b)
            EXPECT_GE(meanDifference(a->second, b->second), 4.0) << a->first << " vs " << b->first;
}

}  // namespace
