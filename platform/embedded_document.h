#pragma once
#include <string>

namespace kalo::platform {

// The UI document compiled into the executable (UTF-8, no byte-order mark), up to its
// terminating NUL. Empty when the program carries none.
std::string embeddedUiDocument();

}  // namespace kalo::platform
