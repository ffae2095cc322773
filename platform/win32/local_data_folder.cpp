#include "platform/local_data_folder.h"

#include <windows.h>
#include <shlobj.h>

namespace kalo::platform {

std::filesystem::path localDataFolder() {
    // The known-folder call has no MAX_PATH limit and says when it fails; a failure gives
    // an empty path rather than whatever a fixed buffer held.
    PWSTR folder = nullptr;
    std::filesystem::path result;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder) == S_OK && folder) {
        result = std::filesystem::path(folder);
    }
    CoTaskMemFree(folder);
    return result;
}

}  // namespace kalo::platform
