#include "platform/posix/terminal_screen.h"

namespace kalo::platform {
namespace {
constexpr wchar_t replacementCharacter = 0xFFFD;
}

TerminalScreen::TerminalScreen(std::size_t keptRows, std::size_t rowWidth)
    : keptRows(keptRows < 1 ? 1 : keptRows), rowWidth(rowWidth) {
    rows.emplace_back();
}

std::wstring TerminalScreen::row(std::uint64_t index) const {
    if (index < firstRowIndex || index - firstRowIndex >= rows.size()) return std::wstring();
    return rows[static_cast<std::size_t>(index - firstRowIndex)];
}

std::wstring& TerminalScreen::currentRow() {
    return rows[static_cast<std::size_t>(cursorRowIndex - firstRowIndex)];
}

void TerminalScreen::put(wchar_t c) {
    if (column < rowWidth) {
        std::wstring& text = currentRow();
        if (text.size() <= column) text.resize(column, L' ');
        if (text.size() == column) {
            text.push_back(c);
        } else {
            text[column] = c;
        }
    }
    ++column;
}

void TerminalScreen::lineFeed() {
    ++cursorRowIndex;
    column = 0;
    if (cursorRowIndex - firstRowIndex >= rows.size()) rows.emplace_back();
    while (rows.size() > keptRows) {
        rows.pop_front();
        ++firstRowIndex;
    }
}

void TerminalScreen::eraseInLine() {
    std::wstring& text = currentRow();
    // Parameter 0 (or none): from the cursor to the end; 1: from the start to the cursor;
    // 2: the whole row.
    if (csiParameters.empty() || csiParameters == "0") {
        if (text.size() > column) text.resize(column);
    } else if (csiParameters == "1") {
        for (std::size_t i = 0; i <= column && i < text.size(); ++i) text[i] = L' ';
    } else if (csiParameters == "2") {
        text.clear();
    }
}

void TerminalScreen::decodeByte(unsigned char byte) {
    if (pendingContinuations > 0) {
        if ((byte & 0xC0) == 0x80) {
            pendingCodePoint = (pendingCodePoint << 6) | (byte & 0x3F);
            if (--pendingContinuations == 0) {
                const bool valid = pendingCodePoint >= minimumCodePoint &&
                                   pendingCodePoint <= 0x10FFFF &&
                                   (pendingCodePoint < 0xD800 || pendingCodePoint > 0xDFFF);
                put(valid ? static_cast<wchar_t>(pendingCodePoint) : replacementCharacter);
            }
            return;
        }
        // A sequence cut short: mark it and read this byte afresh.
        pendingContinuations = 0;
        put(replacementCharacter);
    }
    if (byte < 0x80) {
        put(static_cast<wchar_t>(byte));
    } else if ((byte & 0xE0) == 0xC0) {
        pendingCodePoint = byte & 0x1F;
        pendingContinuations = 1;
        minimumCodePoint = 0x80;
    } else if ((byte & 0xF0) == 0xE0) {
        pendingCodePoint = byte & 0x0F;
        pendingContinuations = 2;
        minimumCodePoint = 0x800;
    } else if ((byte & 0xF8) == 0xF0) {
        pendingCodePoint = byte & 0x07;
        pendingContinuations = 3;
        minimumCodePoint = 0x10000;
    } else {
        put(replacementCharacter);
    }
}

void TerminalScreen::write(const char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        switch (parse) {
            case Parse::Text:
                if (pendingContinuations > 0 && (byte & 0xC0) != 0x80 && byte < 0x20) {
                    pendingContinuations = 0;  // a character cut short by a control
                    put(replacementCharacter);
                }
                if (byte == 0x1B) {
                    parse = Parse::Escape;
                } else if (byte == '\r') {
                    column = 0;
                } else if (byte == '\n') {
                    lineFeed();
                } else if (byte == '\b') {
                    if (column > 0) --column;
                } else if (byte == '\t') {
                    column = (column / 8 + 1) * 8;
                } else if (byte < 0x20 || byte == 0x7F) {
                    // Other control characters do not print.
                } else {
                    decodeByte(byte);
                }
                break;
            case Parse::Escape:
                if (byte == '[') {
                    parse = Parse::Csi;
                    csiParameters.clear();
                } else if (byte == ']' || byte == 'P' || byte == 'X' || byte == '^' ||
                           byte == '_') {
                    parse = Parse::String;  // OSC, DCS, ...: skipped up to BEL or ESC '\'
                } else if (byte >= 0x20 && byte <= 0x2F) {
                    parse = Parse::EscapeIntermediate;
                } else {
                    parse = Parse::Text;
                }
                break;
            case Parse::EscapeIntermediate:
                if (byte < 0x20 || byte > 0x2F) parse = Parse::Text;
                break;
            case Parse::Csi:
                if (byte >= 0x40 && byte <= 0x7E) {
                    if (byte == 'K') eraseInLine();
                    parse = Parse::Text;
                } else if (byte >= 0x20 && byte <= 0x3F) {
                    if (csiParameters.size() < 32) csiParameters += static_cast<char>(byte);
                } else if (byte == 0x1B) {
                    parse = Parse::Escape;
                }
                break;
            case Parse::String:
                if (byte == 0x07) {
                    parse = Parse::Text;
                } else if (byte == 0x1B) {
                    parse = Parse::StringEscape;
                }
                break;
            case Parse::StringEscape:
                parse = (byte == '\\') ? Parse::Text : Parse::String;
                break;
        }
    }
}

}  // namespace kalo::platform
