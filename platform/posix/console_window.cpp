#include "platform/console_window.h"

#include <atomic>

namespace kalo::platform {
namespace {
std::atomic<bool> consoleVisible{true};
}

void setConsoleWindowVisible(bool visible) { consoleVisible = visible; }
bool isConsoleWindowVisible() { return consoleVisible; }
void toggleConsoleWindow() { consoleVisible = !consoleVisible; }

bool consoleIsOwnWindow() { return false; }

}  // namespace kalo::platform
