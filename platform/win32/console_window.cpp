#include "platform/console_window.h"

#include <windows.h>

namespace kalo::platform {

void setConsoleWindowVisible(bool visible) {
    ShowWindow(GetConsoleWindow(), visible ? SW_SHOW : SW_HIDE);
}

bool isConsoleWindowVisible() { return IsWindowVisible(GetConsoleWindow()) != FALSE; }

void toggleConsoleWindow() { setConsoleWindowVisible(!isConsoleWindowVisible()); }

bool consoleIsOwnWindow() { return true; }

}  // namespace kalo::platform
