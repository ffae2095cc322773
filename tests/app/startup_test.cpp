// Starts the real application under the virtual display and checks what a user sees of
// start-up and shutdown: the window, its title and size, a clean exit and the profile.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app_process.h"

namespace {

namespace fs = std::filesystem;

class Startup : public testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("kalo-startup-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        fs::create_directories(root / "home");
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path program() const { return fs::path(KALO_BIN_DIR) / "kalo-converter"; }
    fs::path profile() const {
        return root / "home" / ".local" / "share" / "kalo-converter" / "KALO_profiles.json";
    }

    fs::path root;
};

TEST_F(Startup, OpensTheMainWindowAndEndsCleanlyOnEscapeOrClose) {
    for (const bool useCloseButton : {false, true}) {
        fs::remove_all(root / "home" / ".local");
        AppProcess app = AppProcess::start(program(), KALO_BIN_DIR, root / "home", root / "out.txt");
        const unsigned long window = findWindowOf(app.pid, 20);
        ASSERT_NE(window, 0u) << app.output();
        int width = 0, height = 0;
        windowSize(window, width, height);
        EXPECT_EQ(width, 1152);
        EXPECT_EQ(height, 648);
        EXPECT_EQ(windowTitle(window), "KALO 3D 视频转换器");

        if (useCloseButton) requestClose(window);
        else pressKey(window, "Escape");
        EXPECT_EQ(app.waitForExit(20), 0) << app.output();

        const std::string out = app.output();
        EXPECT_NE(out.find("init SDL success\n"), std::string::npos) << out;
        EXPECT_NE(out.find("Renderer Mode: "), std::string::npos) << out;

        std::ifstream in(profile());
        ASSERT_TRUE(in.good()) << "no profile at " << profile();
        const auto document = nlohmann::json::parse(in);
        const auto& section = document.at("PARAM_USER_SETTING");
        for (const char* key : {"Filter_option", "Setting_option", "Output_option"}) {
            EXPECT_TRUE(section.at(key).is_number_integer()) << key;
        }
    }
}

TEST_F(Startup, OverrideFileInTheWorkingDirectorySetsTitleAndSize) {
    fs::create_directories(root / "work");
    std::ofstream(root / "work" / "kalo_conv_UI.json")
        << R"({"PARAM_OTHER": {"KALO_BRAND": "覆盖 标题", "defaultWindowSizeX": 640,
                               "defaultWindowSizeY": 360}})";
    AppProcess app = AppProcess::start(program(), root / "work", root / "home", root / "out.txt");
    const unsigned long window = findWindowOf(app.pid, 20);
    ASSERT_NE(window, 0u) << app.output();
    int width = 0, height = 0;
    windowSize(window, width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 360);
    EXPECT_EQ(windowTitle(window), "覆盖 标题");
    pressKey(window, "Escape");
    EXPECT_EQ(app.waitForExit(20), 0);
    EXPECT_NE(app.output().find("Successfully read file:kalo_conv_UI.json"), std::string::npos);
}

TEST_F(Startup, MalformedProfileIsReplacedAndNeverStopsTheProgram) {
    fs::create_directories(profile().parent_path());
    std::ofstream(profile()) << "{\"PARAM_USER_SETTING\": [";
    AppProcess app = AppProcess::start(program(), KALO_BIN_DIR, root / "home", root / "out.txt");
    const unsigned long window = findWindowOf(app.pid, 20);
    ASSERT_NE(window, 0u) << app.output();
    pressKey(window, "Escape");
    EXPECT_EQ(app.waitForExit(20), 0);
    EXPECT_NE(app.output().find(": get error"), std::string::npos) << app.output();
    std::ifstream in(profile());
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              R"({"PARAM_USER_SETTING":{"Filter_option":0,"Output_option":0,"Setting_option":0}})");
}

}  // namespace
