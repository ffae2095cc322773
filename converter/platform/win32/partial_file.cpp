#include "converter/platform/partial_file.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

namespace kalo::converter {
namespace {

std::wstring wide(const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); }

std::string systemMessage(DWORD code) { return std::system_category().message(static_cast<int>(code)); }

}  // namespace

PartialFileClaim::~PartialFileClaim() { release(); }

bool PartialFileClaim::create(const std::string& path, std::string& error) {
    release();
    // Shared for reading and writing (FFmpeg opens the file again to write it) but not
    // for deletion: while this handle is open no other run can remove the file.
    HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = systemMessage(GetLastError());
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    return true;
}

void PartialFileClaim::release() {
    if (handle_ == -1) return;
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
}

long currentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

bool partialFileIsAbandoned(const std::string& path, long writerId) {
    if (writerId <= 0) return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(writerId));
    if (process) {
        const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        CloseHandle(process);
        if (running) return false;
    } else if (GetLastError() == ERROR_ACCESS_DENIED) {
        return false;  // a process we may not look at is still a live process
    }
    // A writer on another machine still holds the file open without delete sharing.
    HANDLE handle = CreateFileW(wide(path).c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

}  // namespace kalo::converter
