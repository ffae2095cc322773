// The converter's command line: the argument list the converter receives and the Windows
// command string derived from it, for every option of the job record.
#include <gtest/gtest.h>

#include <algorithm>

#include "config/option_tables.h"
#include "conversion/converter_command_line.h"
#include "media/lut_filter_text.h"
#include "platform/text_encoding.h"

namespace {

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { refreshOptionTables(); }

    static JobSnapshot firstExample() {
        JobSnapshot job;
        job.input = L"C:\\v\\a.mp4";
        job.output = L"C:\\v\\a_SBS.mp4";
        return job;
    }
    static std::wstring vf(const ConverterCommandLine& line) { return line.values().at(3); }
};

}  // namespace

TEST_F(CommandLine, FirstWorkedExampleByteForByte) {
    const ConverterCommandLine line = buildConverterCommandLine(firstExample(), "C:/Apps/Tool");
    EXPECT_EQ(line.windowsCommandString(),
              L" -i \"C:\\v\\a.mp4\" -vf depth=outputmode=sbs:dl=25,scale=1920:1080 -c:v libx264 "
              L"-profile:v baseline -b:v 10M -y \"C:\\v\\a_SBS.mp4\"");
    const std::vector<std::wstring> expected = {
        L"-i", L"C:\\v\\a.mp4", L"-vf", L"depth=outputmode=sbs:dl=25,scale=1920:1080",
        L"-c:v", L"libx264", L"-profile:v", L"baseline", L"-b:v", L"10M",
        L"-y", L"C:\\v\\a_SBS.mp4"};
    EXPECT_EQ(line.values(), expected);
}

TEST_F(CommandLine, SecondWorkedExampleByteForByte) {
    JobSnapshot job = firstExample();
    job.filterIndex = 1;
    job.modeIndex = 1;
    job.resolutionIndex = 1;
    job.bitrateIndex = 1;
    job.depthLevelIndex = 1;
    // The program at C:\Apps\Tool\tool.exe; its folder written with "/" as the filter text does.
    const ConverterCommandLine line = buildConverterCommandLine(job, "C:/Apps/Tool");
    EXPECT_EQ(line.windowsCommandString(),
              L" -i \"C:\\v\\a.mp4\" -vf \"lut3d=C\\\\:/Apps/Tool/filter/Clarendon.cube\","
              L"depth=outputmode=sbs:mode=portrait:dl=27,scale=3840:2160 -c:v libx264 "
              L"-profile:v baseline -b:v 6M -pix_fmt yuv420p  -y \"C:\\v\\a_SBS.mp4\"");
    const std::vector<std::wstring> expected = {
        L"-i", L"C:\\v\\a.mp4", L"-vf",
        L"lut3d=C\\\\:/Apps/Tool/filter/Clarendon.cube,"
        L"depth=outputmode=sbs:mode=portrait:dl=27,scale=3840:2160",
        L"-c:v", L"libx264", L"-profile:v", L"baseline", L"-b:v", L"6M",
        L"-pix_fmt", L"yuv420p", L"-y", L"C:\\v\\a_SBS.mp4"};
    EXPECT_EQ(line.values(), expected);
}

TEST_F(CommandLine, ColourFilterOnlyAboveIndexZero) {
    struct Case {
        int filterIndex;
        bool lut;
    } cases[] = {{-1, false}, {0, false}, {1, true}, {10, true}};
    for (const Case& c : cases) {
        JobSnapshot job = firstExample();
        job.filterIndex = c.filterIndex;
        const ConverterCommandLine line = buildConverterCommandLine(job, "/opt/kalo");
        const std::wstring text = line.windowsCommandString();
        const std::vector<std::wstring> values = line.values();
        const bool pixFmt = std::find(values.begin(), values.end(), L"-pix_fmt") != values.end();
        EXPECT_EQ(vf(line).rfind(L"lut3d=", 0) == 0, c.lut) << c.filterIndex;
        EXPECT_EQ(pixFmt, c.lut) << c.filterIndex;
        if (c.lut) {
            const std::wstring lut = kalo::utf8ToWide(kalo::lutFilterTextInFolder(
                "/opt/kalo", filterTable[static_cast<std::size_t>(c.filterIndex)].first));
            EXPECT_EQ(vf(line), lut + L",depth=outputmode=sbs:dl=25,scale=1920:1080");
            EXPECT_NE(text.find(L" -vf \"" + lut + L"\",depth="), std::wstring::npos);
            EXPECT_NE(text.find(L"yuv420p  -y \""), std::wstring::npos);
        } else {
            EXPECT_EQ(text, buildConverterCommandLine(firstExample(), "/opt/kalo").windowsCommandString());
        }
    }
}

TEST_F(CommandLine, ModeAndDepthLevelParts) {
    struct Case {
        int modeIndex;
        int depthLevelIndex;
        const wchar_t* depth;
    } cases[] = {
        {0, 0, L"depth=outputmode=sbs:dl=25,scale=1920:1080"},
        {1, 0, L"depth=outputmode=sbs:mode=portrait:dl=25,scale=1920:1080"},
        {2, 0, L"depth=outputmode=sbs:mode=landscape:dl=25,scale=1920:1080"},
        {0, 1, L"depth=outputmode=sbs:dl=27,scale=1920:1080"},  // a portrait source
        {2, 1, L"depth=outputmode=sbs:mode=landscape:dl=27,scale=1920:1080"},
    };
    for (const Case& c : cases) {
        JobSnapshot job = firstExample();
        job.modeIndex = c.modeIndex;
        job.depthLevelIndex = c.depthLevelIndex;
        EXPECT_EQ(vf(buildConverterCommandLine(job, "/opt/kalo")), c.depth)
            << c.modeIndex << "/" << c.depthLevelIndex;
    }
}

TEST_F(CommandLine, EachOutputChoiceGivesItsScaleAndBitRate) {
    const wchar_t* expected[][2] = {{L"1920:1080", L"10M"}, {L"1920:1080", L"6M"},
                                    {L"1920:1080", L"3M"},  {L"3840:2160", L"10M"},
                                    {L"3840:2160", L"6M"},  {L"3840:2160", L"3M"}};
    ASSERT_EQ(outputTable.size(), 6u);
    for (std::size_t row = 0; row < outputTable.size(); ++row) {
        JobSnapshot job = firstExample();
        job.resolutionIndex = outputTable[row].resolutionIndex;
        job.bitrateIndex = outputTable[row].bitrateIndex;
        const ConverterCommandLine line = buildConverterCommandLine(job, "/opt/kalo");
        EXPECT_EQ(vf(line), std::wstring(L"depth=outputmode=sbs:dl=25,scale=") + expected[row][0]);
        EXPECT_EQ(line.values().at(9), expected[row][1]) << row;
    }
}

TEST_F(CommandLine, PathsReachTheConverterVerbatimAndAnIndexOutsideItsTableThrows) {
    JobSnapshot job;
    job.input = L"/tmp/视频 \"one\" $HOME; rm -rf x/a.mp4";
    job.output = L"/tmp/out 'two' `date`.mp4";
    const std::vector<std::wstring> values = buildConverterCommandLine(job, "/opt/kalo").values();
    EXPECT_EQ(values.at(1), job.input);
    EXPECT_EQ(values.back(), job.output);

    job.resolutionIndex = 2;
    EXPECT_THROW(buildConverterCommandLine(job, "/opt/kalo"), std::out_of_range);
    job.resolutionIndex = 0;
    job.filterIndex = static_cast<int>(filterTable.size());
    EXPECT_THROW(buildConverterCommandLine(job, "/opt/kalo"), std::out_of_range);
}
