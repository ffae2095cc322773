#include "converter/platform/program_arguments.h"

#include <windows.h>

#include "converter/cli/windows_command_line.h"

namespace kalo::converter {
namespace {

std::string narrowToUtf8(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), bytes, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(bytes) - 1);
    return utf8;
}

}  // namespace

// argv of the C runtime is in the ANSI code page and loses characters outside it; the
// UTF-16 command line keeps every file name. Started by the application the line has no
// program-name token at all (it begins with a blank), which the splitter handles.
std::vector<std::string> programArguments(int, char**) {
    std::vector<std::string> tokens = splitWindowsCommandLine(narrowToUtf8(GetCommandLineW()));
    if (!tokens.empty()) tokens.erase(tokens.begin());  // the program name, possibly empty
    return tokens;
}

}  // namespace kalo::converter
