#include <gtest/gtest.h>

#include "config/json_base.h"
#include "config/option_tables.h"
#include "platform/text_encoding.h"

namespace {

// The tables read the process-wide configuration; each test restores what it changes.
class OptionTables : public testing::Test {
protected:
    void SetUp() override {
        saved = uiConfig->document;
        uiConfig->loadEmbedded();
        buildStartupOptionTables();
        refreshOptionTables();
    }
    void TearDown() override {
        uiConfig->document = saved;
        buildStartupOptionTables();
        refreshOptionTables();
    }
    nlohmann::json saved;
};

TEST_F(OptionTables, RowsComeFromTheDocumentInOrder) {
    ASSERT_EQ(filterTable.size(), 11u);
    EXPECT_EQ(filterTable[0], StringPair("", "无滤镜"));
    EXPECT_EQ(filterTable[10], StringPair("Valencia.cube", "实光"));
    ASSERT_EQ(modeKeys.size(), 3u);
    EXPECT_EQ(modeKeys[0], L"");
    EXPECT_EQ(modeKeys[2], L"landscape");
    EXPECT_EQ(depthLevelTable, (std::vector<std::wstring>{L":dl=25", L":dl=27"}));
    ASSERT_EQ(outputTable.size(), 6u);
    // Output choice 4 is 2160P at the second bitrate.
    EXPECT_EQ(outputTable[4].name, L"2160P 低画质");
    EXPECT_EQ(resolutionTable.at(outputTable[4].resolutionIndex), L"3840:2160");
    EXPECT_EQ(bitrateTable.at(outputTable[4].bitrateIndex), L"6");
}

TEST_F(OptionTables, FileDialogFilterBytes) {
    using namespace std::string_literals;
    const std::string expected =
        "所有支持格式\0*.mp4;*.mov;*.avi;*.rmvb;*.mkv\0"s
        "MP4视频(*.mp4)\0*.mp4\0MOV视频(*.mov)\0*.mov\0AVI视频(*.avi)\0*.avi\0"s
        "RMVB视频(*.rmvb)\0*.rmvb\0MKV视频(*.mkv)\0*.mkv\0\0"s;
    EXPECT_EQ(buildFileDialogFilter(), expected);

    uiConfig->document["PARAM_EXT"]["array"] = nlohmann::json::array();
    refreshOptionTables();
    EXPECT_EQ(buildFileDialogFilter(), "所有支持格式\0\0"s);
}

TEST_F(OptionTables, SupportedVideoByExtensionInAnyCase) {
    const struct {
        const wchar_t* path;
        bool supported;
    } cases[] = {
        {L"/videos/a.mp4", true},       {L"C:\\videos\\b.MP4", true},
        {L"clip.Mkv", true},            {L"/中文 路径/片段.rmvb", true},
        {L"movie.mpeg", false},         {L"/videos/noextension", false},
        {L"/videos.mp4/file", false},   {L"archive.mp4.zip", false},
        {L".mp4", false},  // a hidden file named ".mp4" has no extension
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isSupportedVideo(c.path), c.supported) << kalo::wideToUtf8(c.path);
    }
}

TEST_F(OptionTables, MissingListsGiveEmptyTablesAndBadRowsThrow) {
    uiConfig->document.erase("PARAM_MOD");
    testing::internal::CaptureStdout();
    refreshOptionTables();
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(outputTable.empty());

    uiConfig->document["PARAM_CONVOPT"]["bitrate"] = nlohmann::json::array({"10", 6});
    EXPECT_THROW(readStringList("bitrate"), nlohmann::json::type_error);
}

}  // namespace
