// Cutting the -vf chain at `depth` the way libavfilter's graph parser reads it: commas and
// semicolons inside single quotes or after a backslash do not separate filters.
#include <gtest/gtest.h>

#include "converter/filters/filter_chain_split.h"

namespace kalo::converter {
namespace {

struct SplitCase {
    const char* chain;
    bool hasDepth;
    const char* before;
    const char* depthOptions;
    const char* after;
};

TEST(FilterChainSplit, CutsAtDepthRespectingGraphEscapes) {
    const std::vector<SplitCase> cases = {
        {"depth=outputmode=sbs:dl=25,scale=1920:1080", true, "", "outputmode=sbs:dl=25", "scale=1920:1080"},
        // The application's colour filter on Windows: drive colon escaped for both levels.
        {R"(lut3d=C\\:/Apps/filter/x.cube,depth=outputmode=sbs,scale=1920:1080)", true,
         R"(lut3d=C\\:/Apps/filter/x.cube)", "outputmode=sbs", "scale=1920:1080"},
        // A quoted path may hold commas, spaces and colons.
        {R"(lut3d='C\:/path with space/a,b.cube',depth=outputmode=sbs)", true,
         R"(lut3d='C\:/path with space/a,b.cube')", "outputmode=sbs", ""},
        {R"(lut3d=file=/tmp/中 文/a\,b.cube,depth=outputmode=depth)", true, R"(lut3d=file=/tmp/中 文/a\,b.cube)",
         "outputmode=depth", ""},
        {"scale=640:360 , depth = outputmode=sbs:dl=10 , hflip", true, "scale=640:360", "outputmode=sbs:dl=10",
         "hflip"},
        {"depth", true, "", "", ""},
        {"depth='outputmode=sbs:dl=25'", true, "", "outputmode=sbs:dl=25", ""},
        {R"(depth=outputmode\=sbs)", true, "", "outputmode=sbs", ""},
        {"depth@eyes=outputmode=sbs,scale=2:2", true, "", "outputmode=sbs", "scale=2:2"},
        {"depthwise=1,depth", true, "depthwise=1", "", ""},  // only the exact name counts
        {"scale=1280:720,hflip", false, "scale=1280:720,hflip", "", ""},
        {"[in]scale=2:2[a];[a]hflip[out]", false, "[in]scale=2:2[a];[a]hflip[out]", "", ""},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.chain);
        FilterChainSplit split;
        std::string error;
        ASSERT_TRUE(splitFilterChainAtDepth(c.chain, split, error)) << error;
        EXPECT_EQ(split.hasDepth, c.hasDepth);
        EXPECT_EQ(split.before, c.before);
        EXPECT_EQ(split.depthOptions, c.depthOptions);
        EXPECT_EQ(split.after, c.after);
    }
}

TEST(FilterChainSplit, RefusesChainsItCannotCut) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"depth,depth", "Only one depth"},
        {"[in]depth[out]", "labels"},
        {"scale=2:2;depth", "single filter chain"},
        {",depth", "Empty filter before"},
        {"depth,", "Empty filter after"},
        {"depth, ,scale=2:2", "Empty filter after"},
        {"  ", "empty"},
        {"depth=outputmode=sbs[out]", "Unexpected"},
    };
    for (const auto& [chain, expected] : cases) {
        SCOPED_TRACE(chain);
        FilterChainSplit split;
        std::string error;
        EXPECT_FALSE(splitFilterChainAtDepth(chain, split, error));
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace kalo::converter
