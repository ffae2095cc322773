// Child processes as the application starts them for the converter: CreateProcessW with a
// command string that has no program-name token, a wait for the end, the exit code, and a
// console break to stop it. The child is tests/windows/child_program.cpp.
#include <windows.h>

#include <atomic>
#include <sstream>
#include <thread>

#include "conversion/converter_command_line.h"
#include "config/option_tables.h"
#include "converter/exit_codes.h"
#include "converter/platform/stop_requests.h"
#include "platform/process.h"
#include "platform/text_encoding.h"
#include "windows_test_support.h"

namespace {

using kalo::platform::ChildProcess;
using kalo::platform::ProcessEnd;
using kalo::platform::ProcessLaunch;
using kalo::wintest::TemporaryFolder;
namespace fs = std::filesystem;

fs::path childProgram() { return kalo::wintest::testBinDirectory() / "kalo_windows_child.exe"; }

// A launch of the child whose command string is the converter's form: each argument after
// one blank, quoted when it is a path.
ProcessLaunch childLaunch(const std::vector<std::wstring>& arguments, const std::vector<bool>& quoted = {}) {
    ProcessLaunch launch;
    launch.program = childProgram();
    launch.arguments = arguments;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const bool quote = i < quoted.size() && quoted[i];
        launch.windowsCommandLine += L" " + (quote ? L"\"" + arguments[i] + L"\"" : arguments[i]);
    }
    return launch;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

TEST(ChildProcess, ExitCodeComesBackAndACollectedChildIsNeverSignalled) {
    struct Case {
        const wchar_t* code;
        int expected;
        const char* described;
    };
    const Case cases[] = {{L"0", 0, "exit code 0"}, {L"7", 7, "exit code 7"}, {L"255", 255, "exit code 255"}};
    for (const Case& c : cases) {
        std::string error;
        auto child = ChildProcess::start(childLaunch({L"exit", c.code}), &error);
        ASSERT_TRUE(child) << error;
        EXPECT_GT(child->id(), 0);
        const ProcessEnd end = child->wait();
        EXPECT_EQ(end.how, ProcessEnd::How::Exited);
        EXPECT_EQ(end.code, c.expected);
        EXPECT_EQ(end.succeeded(), c.expected == 0);
        EXPECT_EQ(end.describe(), c.described);
        EXPECT_FALSE(child->running());
        EXPECT_FALSE(child->interrupt());
    }
}

TEST(ChildProcess, AConverterRunsBelowTheApplicationsPriorityWhenAsked) {
    for (const bool below : {false, true}) {
        const fs::path ready = fs::temp_directory_path() / ("kalo-priority-" + std::to_string(GetCurrentProcessId()));
        fs::remove(ready);
        ProcessLaunch launch = childLaunch({L"wait-for-stop", ready.wstring(), L"unused"}, {false, true, false});
        launch.belowNormalPriority = below;
        std::string error;
        auto child = ChildProcess::start(launch, &error);
        ASSERT_TRUE(child) << error;
        EXPECT_TRUE(kalo::wintest::waitForFile(ready, std::chrono::seconds(20)));
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                                     static_cast<DWORD>(child->id()));
        ASSERT_NE(process, nullptr);
        const DWORD priority = GetPriorityClass(process);
        TerminateProcess(process, 1);
        CloseHandle(process);
        child->wait();
        fs::remove(ready);
        if (below && priority == NORMAL_PRIORITY_CLASS && kalo::wintest::runningUnderWine()) {
            GTEST_SKIP() << "Wine ignores the priority class in CreateProcessW's creation flags (its "
                            "SetPriorityClass works); Windows starts the child below normal";
        }
        EXPECT_EQ(priority, static_cast<DWORD>(below ? BELOW_NORMAL_PRIORITY_CLASS : NORMAL_PRIORITY_CLASS));
    }
}

TEST(ChildProcess, AMissingProgramIsReportedWithTheSystemsReason) {
    ProcessLaunch launch = childLaunch({L"exit", L"0"});
    launch.program = kalo::wintest::testBinDirectory() / "no-such-program.exe";
    std::string error;
    EXPECT_FALSE(ChildProcess::start(launch, &error));
    EXPECT_EQ(error.rfind("error 2", 0), 0u) << error;  // ERROR_FILE_NOT_FOUND
    EXPECT_FALSE(kalo::platform::isLaunchableProgram(launch.program));
    EXPECT_FALSE(kalo::platform::isLaunchableProgram(kalo::wintest::testBinDirectory()));
    EXPECT_TRUE(kalo::platform::isLaunchableProgram(childProgram()));
    EXPECT_EQ(kalo::platform::executableFileName("kalo-depth"), fs::path("kalo-depth.exe"));
}

using ConverterArguments = TemporaryFolder;

// The application's command string for a job, read back by a program that splits its
// command line as the converter does: every argument arrives as the application meant it,
// paths with blanks, quotes of the filter text and Chinese names included.
TEST_F(ConverterArguments, TheJobsCommandStringReachesTheConverterAsItsArgumentList) {
    refreshOptionTables();
    JobSnapshot job;
    job.input = (folder / L"\u6211\u7684 \u89c6\u9891.mp4").wstring();  // "我的 视频.mp4"
    job.output = (folder / L"out put_SBS.mp4").wstring();
    job.filterIndex = 1;
    job.modeIndex = 1;
    job.depthLevelIndex = 1;
    const ConverterCommandLine line = buildConverterCommandLine(job, kalo::wintest::binDirectory());

    const fs::path received = folder / "received.txt";
    ProcessLaunch launch;
    launch.program = childProgram();
    launch.windowsCommandLine = L" arguments \"" + received.wstring() + L"\"" + line.windowsCommandString();
    std::string error;
    auto child = ChildProcess::start(launch, &error);
    ASSERT_TRUE(child) << error;
    ASSERT_EQ(child->wait().code, 0);

    std::vector<std::string> expected = {"arguments", kalo::pathToUtf8(received)};
    for (const std::wstring& value : line.values()) expected.push_back(kalo::wideToUtf8(value));
    EXPECT_EQ(lines(kalo::wintest::readWholeFile(received)), expected);
}

using StopRequest = TemporaryFolder;

TEST_F(StopRequest, ABreakToTheChildsGroupEndsItAsAStop) {
    std::string why;
    ASSERT_TRUE(kalo::wintest::ensureConsole(&why)) << why;  // breaks travel through a console
    const fs::path ready = folder / "ready";
    const fs::path request = folder / "request";
    std::string error;
    auto child = ChildProcess::start(
        childLaunch({L"wait-for-stop", ready.wstring(), request.wstring()}, {false, true, true}), &error);
    ASSERT_TRUE(child) << error;
    ASSERT_TRUE(kalo::wintest::waitForFile(ready, std::chrono::seconds(20)));
    const bool sent = child->interrupt();
    const DWORD sendError = GetLastError();
    if (!sent && kalo::wintest::runningUnderWine()) {
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(child->id()))) {
            TerminateProcess(process, 1);  // else the child gives up by itself after 30 s
            CloseHandle(process);
        }
        child->wait();
        GTEST_SKIP() << "Wine does not deliver console control events: GenerateConsoleCtrlEvent("
                        "CTRL_BREAK_EVENT, group) fails with error "
                     << sendError << "; Windows delivers the break to the child's group";
    }
    ASSERT_TRUE(sent) << "GenerateConsoleCtrlEvent failed with error " << sendError;
    const ProcessEnd end = child->wait();
    EXPECT_EQ(end.code, kalo::converter::kExitStopped);
    EXPECT_EQ(kalo::wintest::readWholeFile(request), "CTRL_BREAK_EVENT");
}

// A thread blocked in a read that never completes is woken by the converter's stop path
// (CancelSynchronousIo on the thread's Win32 handle, whatever std::thread wraps).
TEST(BlockedRead, WakingTheThreadEndsItsRead) {
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    std::atomic<bool> started{false};
    std::atomic<bool> finished{false};
    BOOL readOk = TRUE;
    DWORD readError = 0;
    std::thread reader([&] {
        char byte = 0;
        DWORD count = 0;
        started = true;
        readOk = ReadFile(readEnd, &byte, 1, &count, nullptr);
        readError = GetLastError();
        finished = true;
    });
    while (!started) Sleep(1);
    for (int waited = 0; waited < 5000 && !finished; waited += 50) {
        kalo::converter::wakeBlockedThread(reader);  // repeated: the read may not have begun yet
        Sleep(50);
    }
    const bool woken = finished.load();
    if (!woken) {
        DWORD written = 0;
        WriteFile(writeEnd, "x", 1, &written, nullptr);  // let the thread go
    }
    reader.join();
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
    if (!woken && kalo::wintest::runningUnderWine()) {
        GTEST_SKIP() << "Wine does not cancel a synchronous pipe read with CancelSynchronousIo; "
                        "Windows ends it with ERROR_OPERATION_ABORTED";
    }
    ASSERT_TRUE(woken);
    EXPECT_FALSE(readOk);
    EXPECT_EQ(readError, static_cast<DWORD>(ERROR_OPERATION_ABORTED));
}

}  // namespace
