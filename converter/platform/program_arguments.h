#pragma once
// The program's arguments as UTF-8 text, without the program name. POSIX takes argv as it
// is; Windows re-reads the UTF-16 command line so that any file name survives.
#include <string>
#include <vector>

namespace kalo::converter {

std::vector<std::string> programArguments(int argc, char** argv);

}  // namespace kalo::converter
