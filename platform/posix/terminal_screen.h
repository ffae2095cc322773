#pragma once
// A small model of a terminal screen fed with the bytes a program writes to it: rows of
// characters, a cursor, carriage return (back to column 0), line feed (next row, column 0,
// as the terminal's output processing makes it), backspace and tab. Escape sequences are
// skipped, except "erase in line", which status lines use to clear their row. Text is
// UTF-8; bytes that do not decode become U+FFFD. Only the most recent rows are kept.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace kalo::platform {

class TerminalScreen {
public:
    explicit TerminalScreen(std::size_t keptRows = 256, std::size_t rowWidth = 1024);

    void write(const char* bytes, std::size_t size);
    void write(const std::string& bytes) { write(bytes.data(), bytes.size()); }

    std::uint64_t cursorRow() const { return cursorRowIndex; }
    std::size_t cursorColumn() const { return column; }
    // The row's text, or empty when the row is not kept (or not written yet).
    std::wstring row(std::uint64_t index) const;

private:
    enum class Parse { Text, Escape, EscapeIntermediate, Csi, String, StringEscape };

    void put(wchar_t c);
    void lineFeed();
    void eraseInLine();
    std::wstring& currentRow();
    void decodeByte(unsigned char byte);

    std::size_t keptRows;
    std::size_t rowWidth;
    std::deque<std::wstring> rows;  // rows[0] is row number firstRowIndex
    std::uint64_t firstRowIndex = 0;
    std::uint64_t cursorRowIndex = 0;
    std::size_t column = 0;

    Parse parse = Parse::Text;
    std::string csiParameters;
    char32_t pendingCodePoint = 0;
    int pendingContinuations = 0;
    char32_t minimumCodePoint = 0;
};

}  // namespace kalo::platform
