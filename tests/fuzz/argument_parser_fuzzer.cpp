// The converter's command line: the input is a list of arguments separated by NUL bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "converter/cli/argument_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) arguments.emplace_back();
        else arguments.back() += static_cast<char>(data[i]);
    }
    kalo::converter::ParsedCommandLine parsed;
    std::string error;
    if (kalo::converter::parseArguments(arguments, parsed, error))
        (void)kalo::converter::effectiveTimeWindow(parsed.options);
    return 0;
}
