#pragma once
// Stop requests from outside: SIGINT/SIGTERM on POSIX, Ctrl+C/Ctrl+Break and console
// close on Windows. The handlers only count; the conversion polls the count and stops
// its pipeline itself, so a stop always ends with a finished file.
#include <string>

namespace kalo::converter {

// Installs the handlers once, at program start. Returns false when the OS refused.
bool installStopRequestHandlers();

// How many stop requests arrived so far (0: none). A second request cuts the final
// encoder flush short; later ones change nothing more.
int stopRequestCount();

// Name of the last request ("SIGINT", "CTRL_BREAK_EVENT", ...), empty before the first.
std::string lastStopRequestName();

// The program has finished its output and is about to exit. A console-close handler that
// holds the process alive until then may return now.
void stopRequestsHandled();

}  // namespace kalo::converter
