#include "converter/platform/console_output.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace kalo::converter {

void prepareConsoleOutput() {
    // Our messages are UTF-8; binary mode keeps the C runtime from rewriting "\n" as
    // "\r\n" behind our back (the console itself moves to the next row on "\n").
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stderr), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

void writeStandardError(const char* text, std::size_t size) {
    // Console events arrive on a thread of their own and interrupt nothing here.
    std::fwrite(text, 1, size, stderr);
    std::fflush(stderr);
}

}  // namespace kalo::converter
