#pragma once
// The console screen that converters write their status lines to, read back by row.
// Windows: the application's own console screen buffer. POSIX: a pseudo-terminal that the
// application owns; a pump thread drains it into a small screen model (rows, cursor row,
// carriage return, line feed; escape sequences skipped) and echoes it to standard output,
// so a reader never blocks and a writer is never stalled.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kalo::platform {

struct ConsoleRowRead {
    bool ok = false;
    std::wstring text;  // at most the characters asked for, from column 0
    int errorCode = 0;  // the OS's error number when !ok
};

// The first `count` characters of the row the console cursor stands on. Never blocks on
// the writers.
ConsoleRowRead readConsoleCursorRow(std::size_t count);

// The number of the row the cursor stands on (rows count up from the start of the console).
std::uint64_t consoleCursorRow();

// The rows from `firstRow` to the cursor row, blanks trimmed at the end, at most the last
// `maxRows` of them; rows the console no longer holds are left out.
std::vector<std::wstring> consoleRowsFrom(std::uint64_t firstRow, std::size_t maxRows);

// Waits, at most `limit`, until everything written to the console so far is on the screen
// (the POSIX pump has drained it); returns at once where writes are synchronous.
void settleConsole(std::chrono::milliseconds limit);

}  // namespace kalo::platform
