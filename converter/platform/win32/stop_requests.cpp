#include "converter/platform/stop_requests.h"

#include <windows.h>

#include <atomic>

namespace kalo::converter {
namespace {

std::atomic<int> requestCount{0};
std::atomic<DWORD> lastEvent{0xFFFFFFFF};
std::atomic<bool> handled{false};

BOOL WINAPI onConsoleControl(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        lastEvent.store(event);
        requestCount.fetch_add(1);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The process ends as soon as this handler returns: ask for the quickest clean
        // stop (as if a second request had come) and give the main thread a few seconds
        // to finish the file before returning.
        lastEvent.store(event);
        requestCount.fetch_add(2);
        for (int waited = 0; waited < 4500 && !handled.load(); waited += 50) Sleep(50);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

bool installStopRequestHandlers() {
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

void stopRequestsHandled() { handled.store(true); }

}  // namespace kalo::converter
