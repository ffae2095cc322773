#include "converter/cli/windows_command_line.h"

namespace kalo::converter {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> splitWindowsCommandLine(const std::string& line) {
    std::vector<std::string> tokens;
    size_t i = 0;
    const size_t n = line.size();

    // Program name: no escapes, quotes only group.
    std::string program;
    bool quoted = false;
    while (i < n && (quoted || !isBlank(line[i]))) {
        if (line[i] == '"')
            quoted = !quoted;
        else
            program += line[i];
        ++i;
    }
    tokens.push_back(program);

    for (;;) {
        while (i < n && isBlank(line[i])) ++i;
        if (i >= n) break;
        std::string argument;
        quoted = false;
        while (i < n && (quoted || !isBlank(line[i]))) {
            if (line[i] == '\\') {
                size_t slashes = 0;
                while (i < n && line[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && line[i] == '"') {
                    argument.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        argument += '"';
                        ++i;
                    }
                    // an even count leaves the quote to the next round, where it toggles
                } else {
                    argument.append(slashes, '\\');
                }
            } else if (line[i] == '"') {
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    argument += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument += line[i];
                ++i;
            }
        }
        tokens.push_back(argument);
    }
    return tokens;
}

}  // namespace kalo::converter
