#include "platform/local_data_folder.h"

#include <shlobj.h>
#include <windows.h>

namespace kalo::platform {

std::filesystem::path localDataFolder() {
    wchar_t buffer[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_LOCAL_APPDATA, FALSE);
    return std::filesystem::path(buffer);
}

}  // namespace kalo::platform
