#pragma once
#include <string>

namespace kalo::platform {

// Makes `path` the process's working directory; false when that fails.
bool setWorkingDirectory(const std::wstring& path);

}  // namespace kalo::platform
