#include "converter/console/console_log.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cstdarg>
#include <cstdio>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

#include "converter/cli/converter_options.h"
#include "converter/console/status_line.h"
#include "converter/platform/console_output.h"

namespace kalo::converter {
namespace {

std::mutex writeMutex;
std::atomic<int> currentLevel{kLogInfo};
bool statusShown = false;  // guarded by writeMutex
size_t statusLength = 0;   // guarded by writeMutex
thread_local LibraryErrorCapture* activeCapture = nullptr;

void writeLocked(const std::string& text) { writeStandardError(text.data(), text.size()); }

std::string trimNewlines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

// The libraries often print one line in several calls (av_dump_format does); pieces are
// collected per thread until the line ends.
thread_local std::string pendingLine;
thread_local int pendingLevel = AV_LOG_QUIET;
thread_local int printPrefix = 1;

void onLibraryMessage(void* context, int level, const char* format, va_list arguments) {
    const bool captured = activeCapture && level <= AV_LOG_ERROR;
    if (level > currentLevel.load() && !captured) return;
    char piece[1024];
    av_log_format_line2(context, level, format, arguments, piece, sizeof piece, &printPrefix);
    pendingLine += piece;
    pendingLevel = pendingLine.size() == std::strlen(piece) ? level : std::min(pendingLevel, level);
    if (pendingLine.empty() || (pendingLine.back() != '\n' && pendingLine.back() != '\r')) return;
    std::string text = trimNewlines(pendingLine);
    pendingLine.clear();
    if (text.empty()) return;
    if (captured) {
        // Keep what the library said without its "[name @ address]" prefixes.
        for (size_t close = text.find("] "); text.rfind("[", 0) == 0 && close != std::string::npos;
             close = text.find("] "))
            text.erase(0, close + 2);
        activeCapture->record(text);
        return;
    }
    consoleLog().message(pendingLevel, text);
}

}  // namespace

ConsoleLog& consoleLog() {
    static ConsoleLog log;
    return log;
}

void ConsoleLog::setLevel(int level) {
    currentLevel = level;
    av_log_set_level(level);
}

int ConsoleLog::level() const { return currentLevel.load(); }

void ConsoleLog::clearStatusRowLocked() {
    if (!statusShown) return;
    writeLocked(std::string(statusLength, ' ') + "\r");
    statusShown = false;
    statusLength = 0;
}

void ConsoleLog::message(int level, const std::string& text) {
    if (level > currentLevel.load()) return;
    std::lock_guard<std::mutex> lock(writeMutex);
    clearStatusRowLocked();
    writeLocked(trimNewlines(text) + "\n");
}

void ConsoleLog::status(const std::string& line) {
    std::lock_guard<std::mutex> lock(writeMutex);
    std::string text = line.substr(0, kStatusLineMaxColumns);
    const size_t length = text.size();
    if (statusShown && statusLength > length) text.append(statusLength - length, ' ');
    // "\r" first too: whatever the terminal echoed meanwhile (a "^C") moved the cursor.
    writeLocked("\r" + text + "\r");
    statusShown = true;
    statusLength = length;
}

void ConsoleLog::endStatus() {
    std::lock_guard<std::mutex> lock(writeMutex);
    if (!statusShown) return;
    writeLocked("\n");
    statusShown = false;
    statusLength = 0;
}

void ConsoleLog::routeLibraryMessages() { av_log_set_callback(onLibraryMessage); }

LibraryErrorCapture::LibraryErrorCapture() : previous_(activeCapture) { activeCapture = this; }

LibraryErrorCapture::~LibraryErrorCapture() { activeCapture = previous_; }

void LibraryErrorCapture::record(const std::string& message) {
    if (first_.empty()) first_ = message;
    last_ = message;
}

std::string LibraryErrorCapture::lastError() const {
    if (first_ == last_) return last_;
    return last_ + " (" + first_ + ")";
}

}  // namespace kalo::converter
