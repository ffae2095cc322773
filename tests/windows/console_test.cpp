// Reading the console screen as the progress monitor does: the converter, a child in the
// same console, rewrites its status line in place; the application reads the cursor's row.
#include <windows.h>

#include "platform/console_screen.h"
#include "platform/process.h"
#include "windows_test_support.h"

namespace {

using kalo::platform::ChildProcess;
using kalo::platform::ProcessLaunch;

class ConsoleScreen : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        ASSERT_TRUE(kalo::wintest::ensureConsole(&why)) << why;
        output = GetStdHandle(STD_OUTPUT_HANDLE);
        // A blank screen with the cursor at the top, so that no row scrolls away meanwhile.
        CONSOLE_SCREEN_BUFFER_INFO info;
        ASSERT_TRUE(GetConsoleScreenBufferInfo(output, &info));
        DWORD filled = 0;
        FillConsoleOutputCharacterW(output, L' ', static_cast<DWORD>(info.dwSize.X) * info.dwSize.Y, COORD{0, 0},
                                    &filled);
        ASSERT_TRUE(SetConsoleCursorPosition(output, COORD{0, 0}));
    }
    void write(const std::wstring& text) {
        DWORD written = 0;
        ASSERT_TRUE(WriteConsoleW(output, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr));
    }
    HANDLE output = nullptr;
};

TEST_F(ConsoleScreen, TheChildsStatusLineIsReadFromTheCursorRow) {
    write(L"\r\nearlier output\r\n");
    ProcessLaunch launch;
    launch.program = kalo::wintest::testBinDirectory() / "kalo_windows_child.exe";
    launch.windowsCommandLine = L" status \"frame=  123 fps= 25 q=28.0 size=    1024kB time=00:00:04.92\"";
    std::string error;
    auto child = ChildProcess::start(launch, &error);
    ASSERT_TRUE(child) << error;
    ASSERT_EQ(child->wait().code, 0);

    const kalo::platform::ConsoleRowRead row = kalo::platform::readConsoleCursorRow(40);
    ASSERT_TRUE(row.ok) << "error " << row.errorCode;
    EXPECT_EQ(row.text, L"frame=  123 fps= 25 q=28.0 size=    1024");
    const kalo::platform::ConsoleRowRead shorter = kalo::platform::readConsoleCursorRow(5);
    EXPECT_EQ(shorter.text, L"frame");
}

TEST_F(ConsoleScreen, RowsFromAMarkUpToTheCursorAreTrimmedAndBounded) {
    write(L"\r\n");
    const std::uint64_t mark = kalo::platform::consoleCursorRow();
    write(L"first   \r\nsecond\r\n\u8f6c\u6362 third");  // "转换 third"
    EXPECT_EQ(kalo::platform::consoleCursorRow(), mark + 2);
    const std::vector<std::wstring> all = kalo::platform::consoleRowsFrom(mark, 10);
    EXPECT_EQ(all, (std::vector<std::wstring>{L"first", L"second", L"\u8f6c\u6362 third"}));
    const std::vector<std::wstring> lastTwo = kalo::platform::consoleRowsFrom(mark, 2);
    EXPECT_EQ(lastTwo, (std::vector<std::wstring>{L"second", L"\u8f6c\u6362 third"}));
    EXPECT_TRUE(kalo::platform::consoleRowsFrom(mark, 0).empty());
}

}  // namespace
