#include "conversion/console_manager.h"

#include <cstdint>
#include <cstdio>
#include <exception>

#include "platform/console_screen.h"
#include "platform/text_encoding.h"

bool ConsoleManager::read() {
    kalo::platform::ConsoleRowRead row = kalo::platform::readConsoleCursorRow(rowLength);
    lastReadOk = row.ok;
    if (!row.ok) {
        lastError = row.errorCode;
        std::printf("ReadConsoleOutput failed - (%d)\n", row.errorCode);
        return false;
    }
    buffer = std::move(row.text);
    return true;
}

std::int64_t ConsoleManager::readFrameCount() const {
    std::string text;
    try {
        text = kalo::wideToUtf8(buffer.substr(0, buffer.find(L'\0')));
    } catch (const std::exception&) {
        return -1;  // a row caught while a character was half written
    }
    return parseFrameCount(text);
}

std::int64_t parseFrameCount(const std::string& row) {
    const auto at = row.find("frame=");
    if (at == std::string::npos) return -1;
    std::size_t position = at + 6;
    while (position < row.size() && (row[position] == ' ' || row[position] == '\t')) ++position;
    if (position < row.size() && row[position] == '+') ++position;
    constexpr std::int64_t limit = (INT64_MAX - 9) / 10;
    std::int64_t count = 0;
    bool digits = false;
    for (; position < row.size() && row[position] >= '0' && row[position] <= '9'; ++position) {
        if (count <= limit) count = count * 10 + (row[position] - '0');
        digits = true;
    }
    return digits ? count : -1;
}
