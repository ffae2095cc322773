#pragma once
// Standard error as the converter writes it: UTF-8 text (file names in messages) that
// reaches the console whole.
#include <cstddef>

namespace kalo::converter {

// Makes standard error print UTF-8 text correctly; on Windows it also keeps "\n" from
// becoming "\r\n" twice over in the in-place status line.
void prepareConsoleOutput();

// Writes all of `text` to standard error, even when a signal interrupts the write (stop
// requests do not restart system calls).
void writeStandardError(const char* text, std::size_t size);

}  // namespace kalo::converter
