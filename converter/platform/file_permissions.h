#pragma once
// What replacing an existing file must respect: the user's right to write it, and the
// permissions it has, which the replacement keeps.
#include <string>

namespace kalo::converter {

// Whether the user may write the existing file or folder `path` (UTF-8). False with the
// system's reason ("Permission denied", ...).
bool userMayWrite(const std::string& path, std::string& reason);

// Gives `replacement` the permissions (and, where the system allows, the owner) of
// `original`, whose place it is about to take. Best effort: a failure changes nothing.
void copyPermissions(const std::string& original, const std::string& replacement);

}  // namespace kalo::converter
