#pragma once
// Stop requests from outside: SIGINT, SIGTERM and SIGHUP on POSIX, Ctrl+C/Ctrl+Break and
// console close on Windows. The handlers count; the conversion polls the count and stops
// its pipeline itself, so a stop ends with a finished file. A request also ends a system
// call that blocks in the thread it reaches (an input that never delivers), and the third
// request ends the process at once, as with FFmpeg's own tool.
#include <string>
#include <thread>

namespace kalo::converter {

// Installs the handlers once, at program start, from the main thread. Returns false when
// the OS refused.
bool installStopRequestHandlers();

// How many stop requests arrived so far (0: none). A second request cuts the final
// encoder flush short; a third ends the process.
int stopRequestCount();

// Name of the last request ("SIGINT", "CTRL_BREAK_EVENT", ...), empty before the first.
std::string lastStopRequestName();

// Makes a system call that blocks in `thread` (an open or read waiting for data that may
// never come) return early, so that the libraries' interrupt checks see the stop.
// Harmless when the thread does not block.
void wakeBlockedThread(std::thread& thread);

// The file the process is writing and nothing finishes any more when the third request
// ends it at once: it is removed then (empty: none).
void setUnfinishedFile(const std::string& path);

// The program has finished its output and is about to exit. A console-close handler that
// holds the process alive until then may return now.
void stopRequestsHandled();

}  // namespace kalo::converter
