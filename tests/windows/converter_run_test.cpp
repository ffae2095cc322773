// One conversion as the application runs it on Windows: kalo-depth.exe started with
// CreateProcessW and the job's command string (a colour filter, whose path carries the
// drive letter, included). tools/windows-test.sh makes the clip, names it in
// KALO_WIN_TEST_CLIP and the result's path in KALO_WIN_TEST_RESULT, and checks the result
// with ffprobe afterwards.
#include <windows.h>

#include <cstdlib>

#include "config/option_tables.h"
#include "conversion/converter_command_line.h"
#include "platform/process.h"
#include "platform/text_encoding.h"
#include "windows_test_support.h"

namespace {

namespace fs = std::filesystem;

std::wstring environment(const wchar_t* name) {
    wchar_t value[32768];
    const DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length > 0 && length < 32768 ? std::wstring(value, length) : std::wstring();
}

TEST(ConverterRun, KaloDepthConvertsTheJobGivenByTheApplicationsCommandString) {
    const std::wstring clip = environment(L"KALO_WIN_TEST_CLIP");
    const std::wstring result = environment(L"KALO_WIN_TEST_RESULT");
    if (clip.empty() || result.empty()) {
        GTEST_SKIP() << "KALO_WIN_TEST_CLIP and KALO_WIN_TEST_RESULT not set (tools/windows-test.sh sets them)";
    }
    refreshOptionTables();
    JobSnapshot job;
    job.input = kalo::wintest::nativePath(clip).wstring();
    job.output = kalo::wintest::nativePath(result).wstring();
    job.filterIndex = 1;  // a .cube file from filter/ beside the programs
    std::error_code ignored;
    fs::remove(job.output, ignored);
    const ConverterCommandLine line = buildConverterCommandLine(job, kalo::wintest::binDirectory());

    kalo::platform::ProcessLaunch launch;
    launch.program = kalo::wintest::binDirectory() / kalo::platform::executableFileName("kalo-depth");
    launch.arguments = line.values();
    launch.windowsCommandLine = line.windowsCommandString();
    launch.belowNormalPriority = true;
    ASSERT_TRUE(kalo::platform::isLaunchableProgram(launch.program)) << launch.program.u8string();
    std::string error;
    auto converter = kalo::platform::ChildProcess::start(launch, &error);
    ASSERT_TRUE(converter) << error;
    const kalo::platform::ProcessEnd end = converter->wait();
    EXPECT_TRUE(end.succeeded()) << end.describe() << " for" << kalo::wideToUtf8(launch.windowsCommandLine);
    EXPECT_GT(fs::file_size(job.output, ignored), 1000u);
    EXPECT_TRUE(fs::exists(job.input));  // the source is read, never touched
}

}  // namespace
