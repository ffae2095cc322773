// The job record's validation, the two convert actions, and the checks a job passes before
// it starts: the same-file rule and a converter that is not there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "config/json_base.h"
#include "config/option_tables.h"
#include "config/user_setting.h"
#include "conversion/convert_actions.h"
#include "conversion/converter_location.h"
#include "conversion/windows_manager.h"
#include "platform/file_identity.h"
#include "scripted_boxes.h"

namespace fs = std::filesystem;
using kalo::platform::MessageBoxKind;

namespace {

JobSnapshot validJob() {
    JobSnapshot job;
    job.input = L"/videos/a.mp4";
    job.output = L"/videos/a_SBS.mp4";
    return job;
}

fs::path scratchFolder(const char* name) {
    const fs::path folder = fs::path(KALO_TEST_BIN_DIR) / "job_record" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

void touch(const fs::path& file) { std::ofstream(file) << "video"; }

}  // namespace

namespace {

// Code that runs before main without a rank of its own (as this file's objects do) finds
// the ranked process-wide objects built, in whatever order the linker placed the files.
struct SeenBeforeMain {
    bool configuration = uiConfig != nullptr && !uiConfig->document.is_null();
    bool profile = userSetting != nullptr;
    bool tables = !modeKeys.empty() && !depthLevelTable.empty();
    bool record = windowsManager != nullptr;
};
const SeenBeforeMain seenBeforeMain;

}  // namespace

TEST(ProcessObjects, ConfigurationProfileTablesAndJobRecordExistBeforeMain) {
    EXPECT_TRUE(seenBeforeMain.configuration);
    EXPECT_TRUE(seenBeforeMain.profile);
    EXPECT_TRUE(seenBeforeMain.tables);
    EXPECT_TRUE(seenBeforeMain.record);
}

TEST(JobRecord, UpdateAcceptsOnlyAWholeValidSnapshot) {
    refreshOptionTables();
    const int filters = static_cast<int>(filterTable.size());
    struct Case {
        const char* what;
        void (*change)(JobSnapshot&, int filters);
        bool accepted;
    } cases[] = {
        {"valid", [](JobSnapshot&, int) {}, true},
        {"no output yet", [](JobSnapshot& j, int) { j.output.clear(); }, true},
        {"empty input", [](JobSnapshot& j, int) { j.input.clear(); }, false},
        {"mode 2", [](JobSnapshot& j, int) { j.modeIndex = 2; }, true},
        {"mode 3", [](JobSnapshot& j, int) { j.modeIndex = 3; }, false},
        {"mode -1", [](JobSnapshot& j, int) { j.modeIndex = -1; }, false},
        {"resolution 1", [](JobSnapshot& j, int) { j.resolutionIndex = 1; }, true},
        {"resolution 2", [](JobSnapshot& j, int) { j.resolutionIndex = 2; }, false},
        {"bitrate 2", [](JobSnapshot& j, int) { j.bitrateIndex = 2; }, true},
        {"bitrate 3", [](JobSnapshot& j, int) { j.bitrateIndex = 3; }, false},
        {"depth level 1", [](JobSnapshot& j, int) { j.depthLevelIndex = 1; }, true},
        {"depth level 2", [](JobSnapshot& j, int) { j.depthLevelIndex = 2; }, false},
        {"depth level -1", [](JobSnapshot& j, int) { j.depthLevelIndex = -1; }, false},
        {"filter -1", [](JobSnapshot& j, int) { j.filterIndex = -1; }, true},
        {"filter -2", [](JobSnapshot& j, int) { j.filterIndex = -2; }, false},
        {"last filter", [](JobSnapshot& j, int n) { j.filterIndex = n - 1; }, true},
        {"filter past the table", [](JobSnapshot& j, int n) { j.filterIndex = n; }, false},
        {"preview-only filter 101", [](JobSnapshot& j, int) { j.filterIndex = 101; }, false},
    };
    for (const Case& c : cases) {
        WindowsManager record;
        record.command = COMMAND_NOTHING;
        JobSnapshot before = record.snapshot();
        before.input = L"/videos/before.mp4";
        ASSERT_TRUE(record.update(before));
        JobSnapshot job = validJob();
        job.modeIndex = 1;
        c.change(job, filters);
        EXPECT_EQ(record.update(job), c.accepted) << c.what;
        const JobSnapshot now = record.snapshot();
        const JobSnapshot& expected = c.accepted ? job : before;
        EXPECT_EQ(now.input, expected.input) << c.what;
        EXPECT_EQ(now.output, expected.output) << c.what;
        EXPECT_EQ(now.modeIndex, expected.modeIndex) << c.what;
        EXPECT_EQ(now.filterIndex, expected.filterIndex) << c.what;
        EXPECT_EQ(now.depthLevelIndex, expected.depthLevelIndex) << c.what;
        EXPECT_EQ(record.command, COMMAND_NOTHING) << c.what;  // never written by update
    }
}

TEST(JobRecord, ConvertButtonAsksForBothFiles) {
    struct Case {
        const wchar_t* input;
        const wchar_t* output;
        int command;
        bool warned;
    } cases[] = {
        {L"", L"", COMMAND_NOTHING, true},
        {L"", L"/videos/out.mp4", COMMAND_NOTHING, true},
        {L"/videos/a.mp4", L"", COMMAND_NOTHING, true},
        {L"/videos/a.mp4", L"/videos/out.mp4", COMMAND_CONVERT, false},
    };
    for (const Case& c : cases) {
        ScriptedBoxes boxes;
        auto record = std::make_shared<WindowsManager>();
        record->input = c.input;
        record->output = c.output;
        convertButton(record);
        EXPECT_EQ(record->command, c.command);
        const auto asked = boxes.requests();
        ASSERT_EQ(asked.size(), c.warned ? 1u : 0u);
        if (c.warned) {
            EXPECT_EQ(asked[0].kind, MessageBoxKind::Warning);
            EXPECT_EQ(asked[0].title, "没有文件");
            EXPECT_EQ(asked[0].text, "请先设置载入的文件，然后再开始转换.");
        }
        EXPECT_EQ(record->output, c.output);
    }
}

TEST(JobRecord, ConvertAskButtonStoresTheChosenOutput) {
    ScriptedBoxes boxes;
    auto record = std::make_shared<WindowsManager>();
    record->command = COMMAND_OPEN_SOURCE;
    int asked = 0;
    convertAskButton(record, [&] { ++asked; return std::wstring(L"/videos/x.mp4"); });
    EXPECT_EQ(asked, 0);  // no input: only the warning, the command stays
    EXPECT_EQ(record->command, COMMAND_OPEN_SOURCE);
    EXPECT_EQ(boxes.requests().size(), 1u);

    ASSERT_TRUE(record->update(validJob()));
    convertAskButton(record, [] { return std::wstring(); });
    EXPECT_EQ(record->command, COMMAND_NOTHING);
    EXPECT_EQ(record->output, L"/videos/a_SBS.mp4");

    convertAskButton(record, [] { return std::wstring(L"/videos/chosen.mp4"); });
    EXPECT_EQ(record->command, COMMAND_CONVERT);
    EXPECT_EQ(record->output, L"/videos/chosen.mp4");
    EXPECT_EQ(boxes.requests().size(), 1u);
}

TEST(JobRecord, SameFileWhateverTheSpelling) {
    const fs::path folder = scratchFolder("same");
    touch(folder / "a.mp4");
    touch(folder / "b.mp4");
    fs::create_hard_link(folder / "a.mp4", folder / "hard.mp4");
    fs::create_symlink(folder / "a.mp4", folder / "soft.mp4");
    fs::create_directory_symlink(folder, folder.parent_path() / "same-link");
    struct Case {
        fs::path output;
        bool same;
    } cases[] = {
        {folder / "a.mp4", true},
        {folder / "sub" / ".." / "a.mp4", true},
        {folder / "." / "a.mp4", true},
        {folder / "hard.mp4", true},
        {folder / "soft.mp4", true},
        {folder.parent_path() / "same-link" / "a.mp4", true},
        {folder / "b.mp4", false},
        {folder / "A.mp4", false},  // another file on a case-sensitive file system
        {folder / "new.mp4", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kalo::platform::namesSameFile(folder / "a.mp4", c.output), c.same) << c.output;
    }
    // A source that is gone still may not be written over by its own name.
    EXPECT_TRUE(kalo::platform::namesSameFile(folder / "gone.mp4", folder / "x" / ".." / "gone.mp4"));
    fs::remove(folder.parent_path() / "same-link");
}

TEST(JobRecord, AJobIsRefusedForItsOwnSourceOrAMissingConverter) {
    const fs::path folder = scratchFolder("refused");
    touch(folder / "a.mp4");
    fs::create_symlink(folder / "a.mp4", folder / "link.mp4");
    auto record = std::make_shared<WindowsManager>();
    JobSnapshot job = validJob();
    job.input = (folder / "a.mp4").wstring();
    job.output = (folder / "link.mp4").wstring();
    ASSERT_TRUE(record->update(job));

    record->command = COMMAND_NOTHING;
    EXPECT_EQ(startConversionJob(record), JobStart::NotRequested);

    record->command = COMMAND_CONVERT;
    {
        ScriptedBoxes boxes;
        EXPECT_EQ(startConversionJob(record), JobStart::SameFile);
        const auto asked = boxes.requests();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].kind, MessageBoxKind::Error);
        EXPECT_EQ(asked[0].title, "错误");
        EXPECT_EQ(asked[0].text, "无法保存与输入文件相同的文件！\n 请选择其他文件名。");
    }
    EXPECT_TRUE(fs::exists(folder / "a.mp4"));

    job.output = (folder / "out.mp4").wstring();
    ASSERT_TRUE(record->update(job));
    const fs::path missing = folder / "no such converter";
    setenv(converterEnvironmentVariable, missing.c_str(), 1);
    {
        ScriptedBoxes boxes;
        EXPECT_EQ(startConversionJob(record), JobStart::ConverterMissing);
        const auto asked = boxes.requests();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].kind, MessageBoxKind::Error);
        EXPECT_NE(asked[0].text.find(missing.string()), std::string::npos) << asked[0].text;
        EXPECT_NE(asked[0].text.find("找不到转换程序"), std::string::npos) << asked[0].text;
    }
    unsetenv(converterEnvironmentVariable);
    EXPECT_FALSE(conversionWorkerRunning());
}

TEST(JobRecord, ConverterFoundByEnvironmentThenDocumentThenBesideTheProgram) {
    unsetenv(converterEnvironmentVariable);
    const fs::path beside = applicationDirectory() / "kalo-depth";
    EXPECT_EQ(findConverter().path, beside);
    EXPECT_EQ(applicationDirectory(), fs::path(KALO_TEST_BIN_DIR) / "");

    uiConfig->document["PARAM_OTHER"][converterConfigurationKey] = "tools/my-depth";
    EXPECT_EQ(findConverter().path, applicationDirectory() / "tools/my-depth");
    uiConfig->document["PARAM_OTHER"][converterConfigurationKey] = "/opt/depth/kalo-depth";
    EXPECT_EQ(findConverter().path, fs::path("/opt/depth/kalo-depth"));

    setenv(converterEnvironmentVariable, "/usr/local/bin/other-depth", 1);
    EXPECT_EQ(findConverter().path, fs::path("/usr/local/bin/other-depth"));
    unsetenv(converterEnvironmentVariable);
    uiConfig->document["PARAM_OTHER"][converterConfigurationKey] = "";
    EXPECT_EQ(findConverter().path, beside);
}
