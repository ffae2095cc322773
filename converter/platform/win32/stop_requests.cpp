#include "converter/platform/stop_requests.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <type_traits>
#if __has_include(<pthread.h>)
#include <pthread.h>  // winpthreads (mingw-w64): std::thread runs on it
#endif

#include "converter/exit_codes.h"

namespace kalo::converter {
namespace {

constexpr int kRequestsForImmediateExit = 3;

std::atomic<int> requestCount{0};
std::atomic<int> userRequests{0};  // Ctrl+C and Ctrl+Break only
std::atomic<DWORD> lastEvent{0xFFFFFFFF};
std::atomic<bool> handled{false};
HANDLE mainThread = nullptr;
std::mutex unfinishedMutex;
std::wstring unfinishedFile;  // guarded by unfinishedMutex

// The handler runs on a thread of its own; the main thread may sit in a blocking open or
// read of the input, which only a cancellation ends.
void wakeMainThread() {
    if (mainThread) CancelSynchronousIo(mainThread);
}

BOOL WINAPI onConsoleControl(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        lastEvent.store(event);
        requestCount.fetch_add(1);
        if (userRequests.fetch_add(1) + 1 >= kRequestsForImmediateExit) {
            {
                std::lock_guard<std::mutex> lock(unfinishedMutex);
                if (!unfinishedFile.empty()) DeleteFileW(unfinishedFile.c_str());  // fails while open: a later run removes it
            }
            ExitProcess(static_cast<UINT>(kExitStopped));
        }
        wakeMainThread();
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The process ends as soon as this handler returns: ask for the quickest clean
        // stop (as if a second request had come) and give the main thread a few seconds
        // to finish the file before returning.
        lastEvent.store(event);
        requestCount.fetch_add(2);
        wakeMainThread();
        for (int waited = 0; waited < 4500 && !handled.load(); waited += 50) Sleep(50);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

bool installStopRequestHandlers() {
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &mainThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    // A process started in a new process group has Ctrl+C disabled; a user typing it in
    // the console should still stop the conversion cleanly.
    SetConsoleCtrlHandler(nullptr, FALSE);
    return SetConsoleCtrlHandler(onConsoleControl, TRUE) != 0;
}

int stopRequestCount() { return requestCount.load(); }

std::string lastStopRequestName() {
    switch (lastEvent.load()) {
    case CTRL_C_EVENT: return "CTRL_C_EVENT";
    case CTRL_BREAK_EVENT: return "CTRL_BREAK_EVENT";
    case CTRL_CLOSE_EVENT: return "CTRL_CLOSE_EVENT";
    case CTRL_LOGOFF_EVENT: return "CTRL_LOGOFF_EVENT";
    case CTRL_SHUTDOWN_EVENT: return "CTRL_SHUTDOWN_EVENT";
    default: return {};
    }
}

namespace {

// The Win32 handle of a std::thread. Microsoft's library hands out the HANDLE itself;
// mingw-w64's (posix thread model) hands out a winpthreads pthread_t, whose HANDLE
// pthread_gethandle gives.
template <typename Native>
HANDLE win32HandleOf(Native native) {
    if constexpr (std::is_convertible_v<Native, HANDLE>) {
        return native;
    } else {
#if __has_include(<pthread.h>)
        return static_cast<HANDLE>(pthread_gethandle(native));
#else
        static_assert(std::is_convertible_v<Native, HANDLE>, "std::thread without a Win32 handle");
        return nullptr;
#endif
    }
}

}  // namespace

void wakeBlockedThread(std::thread& thread) {
    if (!thread.joinable()) return;
    const HANDLE handle = win32HandleOf(thread.native_handle());
    if (handle) CancelSynchronousIo(handle);
}

void setUnfinishedFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(unfinishedMutex);
    unfinishedFile = path.empty() ? std::wstring() : std::filesystem::u8path(path).wstring();
}

void stopRequestsHandled() { handled.store(true); }

}  // namespace kalo::converter
