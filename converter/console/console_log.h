#pragma once
// Everything the converter prints on standard error goes through here: messages by log
// level, the status line rewritten in place, and the FFmpeg libraries' own messages, so
// that a message never lands in the middle of the status row. Thread-safe.
#include <string>

namespace kalo::converter {

class ConsoleLog {
public:
    void setLevel(int level);
    int level() const;

    // One message line (no trailing newline needed); printed when `level` is at or below
    // the current level.
    void message(int level, const std::string& text);

    // Rewrites the status row: "\r", the line, blanks over what a longer previous line
    // left, then "\r" so that the cursor stands at the start of the row. Never writes "\n", so a
    // terminal that turns "\n" into "\r\n" shows the same thing.
    void status(const std::string& line);

    // Leaves the status row with the last line on it and moves to the next row.
    void endStatus();

    // Sends the FFmpeg libraries' messages through this log (call once, at start).
    void routeLibraryMessages();

private:
    void clearStatusRowLocked();
};

ConsoleLog& consoleLog();

// While alive on a thread, the libraries' error messages from that thread are kept
// instead of printed, so a failing setup step can report one line that says why.
class LibraryErrorCapture {
public:
    LibraryErrorCapture();
    ~LibraryErrorCapture();
    LibraryErrorCapture(const LibraryErrorCapture&) = delete;
    LibraryErrorCapture& operator=(const LibraryErrorCapture&) = delete;

    // What the libraries said, without prefixes: the last error message (the one about
    // the failing call), followed in parentheses by the first (usually the root cause)
    // when they differ. Empty when nothing was said.
    std::string lastError() const;
    void record(const std::string& message);

private:
    LibraryErrorCapture* previous_;
    std::string first_;
    std::string last_;
};

}  // namespace kalo::converter
