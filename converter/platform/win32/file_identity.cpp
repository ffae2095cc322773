#include "converter/platform/file_identity.h"

#include <windows.h>
#include <io.h>
#include <stdlib.h>
#include <stdio.h>

#include <algorithm>
#include <filesystem>

namespace kalo::converter {
namespace {

std::optional<FileIdentity> identityOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// _get_osfhandle on a closed descriptor calls the runtime's invalid-parameter handler,
// which ends the process by default; here a closed descriptor is simply skipped.
void ignoreInvalidParameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned, uintptr_t) {}

}  // namespace

std::optional<FileIdentity> identityOfFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    const std::wstring wide = std::filesystem::u8path(path).wstring();
    // No access rights needed to read the identity; sharing everything so that a file
    // another program holds open is still found. Backup semantics also open folders.
    HANDLE handle = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<FileIdentity> identity = identityOfHandle(handle);
    CloseHandle(handle);
    return identity;
}

std::vector<FileIdentity> filesOpenForReading() {
    // FFmpeg's file protocol opens through the C runtime, so the runtime's descriptor
    // table holds every file it reads. Standard output and error are where we write.
    std::vector<FileIdentity> files;
    const int highest = _getmaxstdio();
#if defined(_MSC_VER) || defined(_UCRT)
    const _invalid_parameter_handler previous = _set_thread_local_invalid_parameter_handler(ignoreInvalidParameter);
#else
    // msvcrt.dll (mingw-w64's default C runtime) has no per-thread handler: a process-wide
    // one that ignores the call stays installed. Nothing in the converter relies on the
    // runtime ending the process for a bad parameter.
    static const bool ignoring = (_set_invalid_parameter_handler(ignoreInvalidParameter), true);
    (void)ignoring;
#endif
    for (int fd = 0; fd < highest; ++fd) {
        if (fd == 1 || fd == 2) continue;
        const intptr_t osHandle = _get_osfhandle(fd);
        if (osHandle == -1 || osHandle == -2) continue;
        HANDLE handle = reinterpret_cast<HANDLE>(osHandle);
        if (GetFileType(handle) != FILE_TYPE_DISK) continue;
        const std::optional<FileIdentity> identity = identityOfHandle(handle);
        if (identity && std::find(files.begin(), files.end(), *identity) == files.end()) files.push_back(*identity);
    }
#if defined(_MSC_VER) || defined(_UCRT)
    _set_thread_local_invalid_parameter_handler(previous);
#endif
    return files;
}

}  // namespace kalo::converter
