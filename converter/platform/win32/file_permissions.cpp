#include "converter/platform/file_permissions.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

namespace kalo::converter {
namespace {

std::wstring wide(const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); }

}  // namespace

bool userMayWrite(const std::string& path, std::string& reason) {
    const std::wstring name = wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        reason = std::system_category().message(static_cast<int>(GetLastError()));
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;  // folder rights show when the file is created
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        reason = std::system_category().message(ERROR_ACCESS_DENIED);
        return false;
    }
    // Opening for writing without truncating asks the file's access rights.
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        reason = std::system_category().message(static_cast<int>(GetLastError()));
        return false;
    }
    CloseHandle(handle);
    return true;
}

void copyPermissions(const std::string& original, const std::string& replacement) {
    // Access rights follow the folder on Windows; what a user sets per file are attributes.
    const DWORD attributes = GetFileAttributesW(wide(original).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (kept) SetFileAttributesW(wide(replacement).c_str(), kept);
}

}  // namespace kalo::converter
