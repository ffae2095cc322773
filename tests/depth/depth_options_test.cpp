// The `depth` filter's option text: what it accepts, and one clear line for what it refuses.
#include <gtest/gtest.h>

#include "converter/depth/depth_stage.h"

namespace kalo::depth {
namespace {

struct GoodCase {
    const char* text;
    OutputMode outputMode;
    ScenePrior prior;
    int strength;
};

TEST(DepthOptions, AcceptsWhatTheApplicationAndUsersWrite) {
    const GoodCase cases[] = {
        {"", OutputMode::SideBySide, ScenePrior::Mixed, 25},
        {"outputmode=sbs", OutputMode::SideBySide, ScenePrior::Mixed, 25},
        {"outputmode=sbs:dl=25", OutputMode::SideBySide, ScenePrior::Mixed, 25},
        {"outputmode=sbs:mode=portrait:dl=27", OutputMode::SideBySide, ScenePrior::Portrait, 27},
        {"outputmode=sbs:mode=landscape:dl=25", OutputMode::SideBySide, ScenePrior::Landscape, 25},
        {"outputmode=depth", OutputMode::DepthMap, ScenePrior::Mixed, 25},
        {"dl=0", OutputMode::SideBySide, ScenePrior::Mixed, 0},
        {"dl=100:outputmode=depth", OutputMode::DepthMap, ScenePrior::Mixed, 100},
        {"dl=10:dl=40", OutputMode::SideBySide, ScenePrior::Mixed, 40},  // the later one wins
    };
    for (const GoodCase& c : cases) {
        DepthFilterOptions options;
        options.strength = 99;  // must be replaced, not merged into
        options.scenePrior = ScenePrior::Portrait;
        std::string error;
        ASSERT_TRUE(parseDepthFilterOptions(c.text, options, error)) << c.text << ": " << error;
        EXPECT_EQ(options.outputMode, c.outputMode) << c.text;
        EXPECT_EQ(options.scenePrior, c.prior) << c.text;
        EXPECT_EQ(options.strength, c.strength) << c.text;
    }
}

TEST(DepthOptions, RefusesUnknownKeysAndBadValuesWithOneLine) {
    const char* cases[] = {
        "colour=red",     "outputmode=3d",  "outputmode=",    "mode=closeup", "mode=Portrait",
        "dl=",            "dl=-1",          "dl=101",         "dl=2.5",       "dl=25px",
        "dl=1000000000000", "outputmode",   "=sbs",           "outputmode=sbs:",
        ":dl=25",         "outputmode=sbs::dl=25",
    };
    for (const char* text : cases) {
        DepthFilterOptions options;
        options.strength = 33;
        std::string error;
        EXPECT_FALSE(parseDepthFilterOptions(text, options, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(options.strength, 33) << "options changed by a refused text: " << text;
    }
}

}  // namespace
}  // namespace kalo::depth
