#include "converter/platform/program_arguments.h"

namespace kalo::converter {

std::vector<std::string> programArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return arguments;
}

}  // namespace kalo::converter
