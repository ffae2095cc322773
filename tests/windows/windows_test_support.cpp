#include "windows_test_support.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace kalo::wintest {

bool runningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::filesystem::path nativePath(const std::filesystem::path& path) {
    const std::wstring given = path.wstring();
    const DWORD length = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(given.c_str(), length, full.data(), nullptr);
    full.resize(written);
    return std::filesystem::path(full);
}

std::filesystem::path testBinDirectory() { return nativePath(KALO_TEST_BIN_DIR); }
std::filesystem::path binDirectory() { return nativePath(KALO_BIN_DIR); }

bool waitForFile(const std::filesystem::path& file, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    std::error_code error;
    while (!std::filesystem::exists(file, error)) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string readWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ensureConsole(std::string* why) {
    // The console this process took for itself, once; later calls only point standard
    // output at it again (capturing standard output, as some tests do, points it elsewhere).
    static HANDLE ownScreen = INVALID_HANDLE_VALUE;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return true;
    if (ownScreen != INVALID_HANDLE_VALUE) {
        SetStdHandle(STD_OUTPUT_HANDLE, ownScreen);
        if (GetConsoleScreenBufferInfo(ownScreen, &info)) return true;
        if (why) *why = "the console screen stopped answering: error " + std::to_string(GetLastError());
        return false;
    }
    // Standard output is a file or pipe (the test runner's log). Leave whatever console the
    // process may be attached to and take a new one; its screen becomes standard output,
    // which the children started afterwards share.
    FreeConsole();
    if (!AllocConsole()) {
        if (why) *why = "AllocConsole failed with error " + std::to_string(GetLastError());
        return false;
    }
    const HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (screen == INVALID_HANDLE_VALUE) {
        if (why) *why = "CONOUT$ cannot be opened: error " + std::to_string(GetLastError());
        return false;
    }
    ownScreen = screen;
    SetStdHandle(STD_OUTPUT_HANDLE, screen);
    if (!GetConsoleScreenBufferInfo(screen, &info)) {
        if (why) *why = "the new console has no screen buffer: error " + std::to_string(GetLastError());
        return false;
    }
    return true;
}

void TemporaryFolder::SetUp() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() /
             (std::string("kalo-win-") + test->test_suite_name() + "-" + test->name() + "-" +
              std::to_string(GetCurrentProcessId()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
}

void TemporaryFolder::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace kalo::wintest
