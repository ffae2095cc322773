// Shortening the output folder for its label: n code units fit, n + 1 do not.
#include <gtest/gtest.h>

#include <string>

#include "widgets/elide_path.h"

TEST(ElidePath, LengthComesFromTheOutputBoxHeight) {
    EXPECT_EQ(elidedPathLength(), 20);  // boxsize y 166 / 8
}

TEST(ElidePath, KeepsTheLastCodeUnits) {
    struct Case {
        std::wstring path;
        int n;
        std::string shown;
    };
    const Case cases[] = {
        {L"/abcdefghijklmnopqrs", 20, "/abcdefghijklmnopqrs"},             // n units
        {L"/abcdefghijklmnopqrst", 20, "... abcdefghijklmnopqrst"},        // n + 1 units
        {L"/home/user/videos/output", 8, "... s/output"},
        {L"/a//b/", 10, "/a/b/"},                                          // rebuilt
        {L"/视频/转换后的文件夹", 6, "... 换后的文件夹"},
        {L"/视频/转换后的文件夹", 11, "/视频/转换后的文件夹"},
        // U+1F3AC takes two UTF-16 units; a cut inside it drops the whole character.
        {L"/x\U0001F3ACyz", 4, "... \U0001F3ACyz"},
        {L"/x\U0001F3ACyz", 3, "... yz"},
        {L"", 20, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.n));
        EXPECT_EQ(elidePath(c.path, c.n), c.shown);
    }
    EXPECT_EQ(elidePath(L"/abcdefghijklmnopqrst"), "... abcdefghijklmnopqrst");
}
