#pragma once
// Reads the converter's status line back from the console: the first 40 characters of the
// row the console cursor stands on, where the converter rewrites "frame=  123 fps=..." in
// place.
#include <cstddef>
#include <cstdint>
#include <string>

class ConsoleManager {
public:
    static constexpr std::size_t rowLength = 40;

    std::wstring buffer;  // the characters of the last successful read, at most rowLength
    bool lastReadOk = false;
    int lastError = 0;

    // Reads the cursor row into `buffer`. A failed read prints
    // "ReadConsoleOutput failed - (<error>)" and leaves `buffer` as it was.
    bool read();

    // The frame count in `buffer`, or -1 when it holds none.
    std::int64_t readFrameCount() const;
};

// The whole number after the first "frame=" of a status row (blanks before it allowed), or
// -1 when the row has no "frame=" or no digits after it.
std::int64_t parseFrameCount(const std::string& row);
