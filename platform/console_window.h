#pragma once

namespace kalo::platform {

// The console the program was started from. On Windows it is a real window that the
// program hides at start-up and the user can toggle; on POSIX the terminal is not ours to
// hide, so these only record the wish.
void setConsoleWindowVisible(bool visible);
bool isConsoleWindowVisible();
void toggleConsoleWindow();

// True where the console is a window of its own that the user can show (Windows); where it
// is not (POSIX), the screen shows the converter's console lines itself.
bool consoleIsOwnWindow();

}  // namespace kalo::platform
