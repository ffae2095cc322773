#include "platform/console_screen.h"

#include <windows.h>

namespace kalo::platform {
namespace {

HANDLE consoleOutput() { return GetStdHandle(STD_OUTPUT_HANDLE); }

}  // namespace

ConsoleRowRead readConsoleCursorRow(std::size_t count) {
    ConsoleRowRead result;
    const HANDLE output = consoleOutput();
    CONSOLE_SCREEN_BUFFER_INFO screenInfo;
    if (!GetConsoleScreenBufferInfo(output, &screenInfo)) {
        result.errorCode = static_cast<int>(GetLastError());
        return result;
    }
    COORD readPosition{0, screenInfo.dwCursorPosition.Y};
    std::wstring buffer(count, L'\0');
    DWORD charsRead = 0;
    if (!ReadConsoleOutputCharacterW(output, buffer.data(), static_cast<DWORD>(count), readPosition,
                                     &charsRead)) {
        result.errorCode = static_cast<int>(GetLastError());
        return result;
    }
    buffer.resize(charsRead);
    const auto end = buffer.find(L'\0');
    if (end != std::wstring::npos) buffer.resize(end);
    result.text = std::move(buffer);
    result.ok = true;
    return result;
}

std::uint64_t consoleCursorRow() {
    CONSOLE_SCREEN_BUFFER_INFO screenInfo;
    if (!GetConsoleScreenBufferInfo(consoleOutput(), &screenInfo)) return 0;
    return static_cast<std::uint64_t>(screenInfo.dwCursorPosition.Y);
}

std::vector<std::wstring> consoleRowsFrom(std::uint64_t firstRow, std::size_t maxRows) {
    std::vector<std::wstring> rows;
    const HANDLE output = consoleOutput();
    CONSOLE_SCREEN_BUFFER_INFO screenInfo;
    if (maxRows == 0 || !GetConsoleScreenBufferInfo(output, &screenInfo)) return rows;
    const std::uint64_t last = static_cast<std::uint64_t>(screenInfo.dwCursorPosition.Y);
    // The buffer scrolls when full, which moves rows up: a start past the cursor means the
    // mark scrolled away; read what is left.
    if (firstRow > last) firstRow = 0;
    if (last - firstRow >= maxRows) firstRow = last - maxRows + 1;
    const DWORD width = static_cast<DWORD>(screenInfo.dwSize.X);
    std::wstring buffer(width, L' ');
    for (std::uint64_t row = firstRow; row <= last; ++row) {
        DWORD charsRead = 0;
        COORD at{0, static_cast<SHORT>(row)};
        if (!ReadConsoleOutputCharacterW(output, buffer.data(), width, at, &charsRead)) continue;
        std::wstring text(buffer.data(), charsRead);
        const auto end = text.find_last_not_of(L' ');
        text.erase(end == std::wstring::npos ? 0 : end + 1);
        rows.push_back(std::move(text));
    }
    return rows;
}

void settleConsole(std::chrono::milliseconds) {
    // The console host has taken every write in before the writing call returned.
}

}  // namespace kalo::platform
