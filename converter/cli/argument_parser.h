#pragma once
// The command line in FFmpeg's syntax: general options anywhere before the output file,
// input options before -i, output options after it, the output file last.
#include <string>
#include <vector>

#include "converter/cli/converter_options.h"

namespace kalo::converter {

enum class CommandAction { Convert, ShowHelp, ShowVersion };

struct ParsedCommandLine {
    CommandAction action = CommandAction::Convert;
    ConverterOptions options;
};

// `arguments` excludes the program name. Returns false with a one-line `error` for an
// unknown option, a missing or bad value, or a missing input or output.
bool parseArguments(const std::vector<std::string>& arguments, ParsedCommandLine& parsed,
                    std::string& error);

}  // namespace kalo::converter
