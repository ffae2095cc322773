#include "converter/platform/console_output.h"

namespace kalo::converter {

// Terminals here take UTF-8 bytes as they are.
void prepareConsoleOutput() {}

}  // namespace kalo::converter
