#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>

#include "config/json_base.h"
#include "platform/working_directory.h"
#include "platform/text_encoding.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

bool sameColor(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

JSONBase documentOf(const char* text) {
    JSONBase base;
    base.document = nlohmann::json::parse(text);
    return base;
}

TEST(ColorRule, ReadsHexNumberAsRgbaRightAligned) {
    struct Case {
        const char* text;
        SDL_Color expected;
        const char* printed;  // substring of what is printed; "" for nothing
    } cases[] = {
        {"#6183a6ff", {0x61, 0x83, 0xa6, 0xff}, ""},
        {"#000000", {0, 0, 0, 0}, ""},
        {"#ffffff", {0, 0xff, 0xff, 0xff}, ""},       // six digits: red is 0
        {"#FFFFFFFF", {0xff, 0xff, 0xff, 0xff}, ""},  // upper case
        {"#c3c3c3ffzz", {0xc3, 0xc3, 0xc3, 0xff}, ""},  // stops at the first non-digit
        {"6183a6ff", {0, 0, 0, 0}, "string error"},
        {"", {0, 0, 0, 0}, ""},
        {"#", {0, 0, 0, 0}, "invalid stoul argument"},
        {"#zz", {0, 0, 0, 0}, "invalid stoul argument"},
        {"#1ffffffff", {0, 0, 0, 0}, "stoul argument out of range"},
    };
    for (const auto& c : cases) {
        JSONBase base = documentOf(R"({"S": {}})");
        base.document["S"]["k"] = c.text;
        CaptureStdout();
        const SDL_Color got = base.getColor("S", "k");
        const std::string out = GetCapturedStdout();
        EXPECT_TRUE(sameColor(got, c.expected)) << c.text;
        if (*c.printed) {
            EXPECT_NE(out.find(c.printed), std::string::npos) << c.text << " printed " << out;
        } else {
            EXPECT_EQ(out, "") << c.text;
        }
    }
}

TEST(Getters, MissingKeysAndWrongKindsGiveEmptyValuesAndOneLine) {
    JSONBase base = documentOf(R"({
        "S": {"text": "停止", "number": 7, "fraction": 3.9, "point": {"x": 884, "y": 522},
              "halfPoint": {"x": 5}, "empty": [], "list": ["a"]}})");
    base.document["S"]["invalidUtf8"] = std::string("\xff\xfe", 2);

    CaptureStdout();
    EXPECT_EQ(base.getString("S", "text"), "停止");
    EXPECT_EQ(base.getWString("S", "text"), L"停止");
    EXPECT_EQ(base.getInt("S", "number"), 7);
    EXPECT_EQ(base.getPoint("S", "point"), glm::ivec2(884, 522));
    EXPECT_EQ(base.getArray("S", "list"), nlohmann::json::array({"a"}));
    EXPECT_EQ(GetCapturedStdout(), "");

    struct Failure {
        std::function<bool()> emptyResult;
        const char* printed;
    } failures[] = {
        {[&] { return base.getString("S", "missing").empty(); }, "type must be string, but is null"},
        {[&] { return base.getString("Nowhere", "k").empty(); }, "type must be string, but is null"},
        {[&] { return base.getString("S", "number").empty(); }, "type must be string, but is number"},
        {[&] { return base.getWString("S", "invalidUtf8").empty(); }, ""},  // converter's own words
        {[&] { return base.getInt("S", "text") == 0; }, "type must be number, but is string"},
        {[&] { return base.getPoint("S", "halfPoint") == glm::ivec2(0, 0); }, "type must be number, but is null"},
        {[&] { return base.getPoint("S", "missingPoint") == glm::ivec2(0, 0); }, "type must be number, but is null"},
    };
    for (const auto& f : failures) {
        CaptureStdout();
        EXPECT_TRUE(f.emptyResult()) << f.printed;
        const std::string out = GetCapturedStdout();
        EXPECT_NE(out.find(f.printed), std::string::npos) << out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    }

    // Numbers with a fraction truncate; arrays that are empty or not arrays read as null.
    EXPECT_EQ(base.getInt("S", "fraction"), 3);
    EXPECT_TRUE(base.getArray("S", "empty").is_null());
    EXPECT_TRUE(base.getArray("S", "text").is_null());
    EXPECT_TRUE(base.getArray("S", "absent").is_null());
}

TEST(Getters, DocumentThatIsNotAnObjectNeverThrows) {
    JSONBase base = documentOf("[1, 2]");
    CaptureStdout();
    EXPECT_EQ(base.getString("S", "k"), "");
    EXPECT_EQ(base.getPoint("S", "k"), glm::ivec2(0, 0));
    EXPECT_FALSE(GetCapturedStdout().empty());
}

// Runs `body` with a fresh temporary folder as the working directory.
class InTemporaryFolder : public testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        folder = std::filesystem::temp_directory_path() /
                 ("kalo-config-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }
    void write(const char* name, const std::string& text) {
        std::ofstream(folder / kalo::pathFromUtf8(name), std::ios::binary) << text;  // UTF-8 on Windows too
    }
    std::filesystem::path previous, folder;
};

using OverrideFile = InTemporaryFolder;

TEST_F(OverrideFile, MissingFileFallsBackToEmbeddedDocumentSilently) {
    JSONBase base;
    CaptureStdout();
    base.load(L"kalo_conv_UI.json", true);
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(base.getInt("PARAM_OTHER", "defaultWindowSizeX"), 1152);
    EXPECT_EQ(base.getString("PARAM_OTHER", "KALO_STOPCONVERT"), "停止");
}

TEST_F(OverrideFile, ReadableFileWinsEntirely) {
    write("kalo_conv_UI.json", R"({"PARAM_OTHER": {"defaultWindowSizeX": 800}})");
    JSONBase base;
    CaptureStdout();
    base.load(L"kalo_conv_UI.json", true);
    const std::string out = GetCapturedStdout();
    EXPECT_EQ(out, "Successfully read file:kalo_conv_UI.json\n");
    EXPECT_EQ(base.getInt("PARAM_OTHER", "defaultWindowSizeX"), 800);
    CaptureStdout();
    EXPECT_EQ(base.getString("PARAM_OTHER", "KALO_STOPCONVERT"), "");  // not merged
    GetCapturedStdout();
}

TEST_F(OverrideFile, MalformedFilePrintsParserMessageAndLeavesConfigurationEmpty) {
    write("kalo_conv_UI.json", "{");
    JSONBase base;
    CaptureStdout();
    base.load(L"kalo_conv_UI.json", true);
    const std::string out = GetCapturedStdout();
    EXPECT_NE(out.find("Successfully read file:kalo_conv_UI.json\n"), std::string::npos);
    EXPECT_NE(out.find("parse error"), std::string::npos) << out;
    EXPECT_NE(out.find("get erroo :kalo_conv_UI.json: get error\n"), std::string::npos) << out;
    CaptureStdout();
    EXPECT_EQ(base.getInt("PARAM_OTHER", "defaultWindowSizeX"), 0);
    EXPECT_EQ(base.getString("PARAM_OTHER", "KALO_BRAND"), "");
    GetCapturedStdout();
}

TEST_F(OverrideFile, NonAsciiPathIsRead) {
    write("配置 文件.json", R"({"S": {"k": "v"}})");
    JSONBase base;
    CaptureStdout();
    base.load(L"配置 文件.json", false);
    EXPECT_NE(GetCapturedStdout().find("Successfully read file:配置 文件.json"), std::string::npos);
    EXPECT_EQ(base.getString("S", "k"), "v");
}

TEST(EmbeddedDocument, HoldsTheValuesTheScreensRead) {
    JSONBase base;
    base.loadEmbedded();
    CaptureStdout();
    EXPECT_FALSE(base.getString("PARAM_OTHER", "KALO_BRAND").empty());
    EXPECT_EQ(base.getString("PARAM_OTHER", "KALO_ABOUT_TITLE").rfind("关于", 0), 0u);
    EXPECT_FALSE(base.getString("PARAM_OTHER", "KALO_COPYRIGHT").empty());
    EXPECT_EQ(base.getString("PARAM_OTHER", "KALO_CLOSE"), "关闭");
    EXPECT_EQ(base.getString("PARAM_OTHER", "KALO_OPENFILE_FAIL"),
              "无法保存与输入文件相同的文件！\n 请选择其他文件名。");
    EXPECT_EQ(base.getString("PARAM_OTHER", "KALO_CONVERT"), " ");
    EXPECT_TRUE(sameColor(base.getColor("PARAM_OTHER", "KALO_TEXTCOL"), {0, 0, 0, 0}));
    EXPECT_TRUE(sameColor(base.getColor("PARAM_OTHER", "MAIN_PROGRESS_BAR"), {0x4b, 0x4b, 0x4b, 0xff}));
    EXPECT_EQ(base.getPoint("PARAM_RENDER_PROGRESS_BAR", "Size"), glm::ivec2(759, 108));
    EXPECT_EQ(base.getPoint("PARAM_BOOLFILENAME", "Size"), glm::ivec2(23, 135));
    EXPECT_EQ(base.getInt("PARAM_PATHBUTTON", "iconFontnum"), 62658);
    EXPECT_EQ(base.getWString("PARAM_MENUBAR", "main_open"), L"选择文件");
    EXPECT_EQ(base.getString("PARAM_VINFO", "msg_quitwarn"), "转换进行中，请先停止再退出");
    EXPECT_EQ(GetCapturedStdout(), "");  // every key above exists with its kind
}

}  // namespace
