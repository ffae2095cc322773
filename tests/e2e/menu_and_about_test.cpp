// The menu strip from the keyboard: Help › 关于 shows the About box, File › 退出 ends the
// application, and Escape in an open menu closes the menu without leaving the application.
#include <fstream>

#include "e2e_fixture.h"

namespace kalo::e2e {
namespace {

class MenuAndAbout : public EndToEnd {
protected:
    Area menuCorner() const {
        return {0, 0, layout.windowWidth / 3, layout.filter.header.y + layout.filter.header.h * 3};
    }
};

TEST_F(MenuAndAbout, EscapeInAnOpenMenuOnlyClosesIt) {
    ASSERT_TRUE(startApp());
    const Picture closed = grab(menuCorner());
    ASSERT_TRUE(pressKeys("alt+f"));
    ASSERT_TRUE(waitForPicture(menuCorner(), [&](const Picture& p) { return p != closed; }, 5,
                               "the File menu opening"));
    shot("file-menu-open");
    ASSERT_TRUE(pressKeys("Escape"));
    ASSERT_TRUE(waitForPicture(menuCorner(), [&](const Picture& p) { return p == closed; }, 5,
                               "the File menu closing"));
    ASSERT_TRUE(appStillRunning());
    ASSERT_TRUE(quitWithEscape());
}

TEST_F(MenuAndAbout, ExitItemEndsTheApplicationAndWritesTheProfile) {
    ASSERT_TRUE(startApp());
    ASSERT_TRUE(pressKeys("alt+f Down"));  // the highlight skips the separator to "退出"
    shot("exit-highlighted");
    ASSERT_TRUE(pressKeys("Return"));
    EXPECT_EQ(waitForAppExit(20), 0) << output();
    EXPECT_TRUE(std::ifstream(home / ".local/share/kalo-converter/KALO_profiles.json").good());
}

TEST_F(MenuAndAbout, HelpMenuShowsTheAboutBox) {
    ASSERT_TRUE(startApp());
    const Picture closed = grab(menuCorner());
    ASSERT_TRUE(pressKeys("alt+h"));
    ASSERT_TRUE(waitForPicture(menuCorner(), [&](const Picture& p) { return p != closed; }, 5,
                               "the Help menu opening"));
    shot("help-menu-open");
    dialog->queueBoxButton("关闭");
    ASSERT_TRUE(pressKeys("Return"));  // "关于", its only item
    std::string about;
    ASSERT_TRUE(expectBox(1, "关于 KALO", &about));
    EXPECT_EQ(about, "版本信息: 1.2.0\n版权信息: © 2026 KALO. 保留所有权利。\n");
    ASSERT_TRUE(appStillRunning());
    ASSERT_TRUE(quitWithEscape());
}

}  // namespace
}  // namespace kalo::e2e
