#include "converter/platform/stop_requests.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "converter/exit_codes.h"

namespace kalo::converter {
namespace {

// Sent to a thread only to end its blocking system call; ignored by default, so a stray
// one from outside changes nothing.
constexpr int kWakeSignal = SIGURG;
constexpr int kRequestsForImmediateExit = 3;

std::atomic<int> requestCount{0};
std::atomic<int> lastSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "signal handlers need lock-free atomics");
pthread_t mainThread;

// Written before the job's threads start, read by the handler only: a fixed buffer, as
// nothing else is safe to touch from a signal handler.
char unfinishedFile[4096] = {0};

void writeError(const char* text) { (void)!write(STDERR_FILENO, text, std::strlen(text)); }

extern "C" void onWake(int) {}

extern "C" void onStopSignal(int signalNumber) {
    const int savedErrno = errno;
    lastSignal.store(signalNumber);
    const int count = requestCount.fetch_add(1) + 1;
    if (count >= kRequestsForImmediateExit) {
        if (unfinishedFile[0]) unlink(unfinishedFile);
        writeError("\nReceived 3 stop requests: exiting at once.\n");
        _exit(kExitStopped);
    }
    // The main thread may sit in a blocking open or read of the input: the signal ends that
    // call only when it lands on that very thread.
    if (!pthread_equal(pthread_self(), mainThread)) pthread_kill(mainThread, kWakeSignal);
    errno = savedErrno;
}

}  // namespace

bool installStopRequestHandlers() {
    mainThread = pthread_self();
    // No SA_RESTART: a blocking open or read must return with EINTR so that FFmpeg asks its
    // interrupt callback, instead of waiting on for data that may never come.
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    bool ok = true;
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) ok = sigaction(signalNumber, &action, nullptr) == 0 && ok;
    struct sigaction wake {};
    wake.sa_handler = onWake;
    sigemptyset(&wake.sa_mask);
    wake.sa_flags = 0;
    ok = sigaction(kWakeSignal, &wake, nullptr) == 0 && ok;
    // A closed standard error must not kill a conversion that is otherwise fine.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ok = sigaction(SIGPIPE, &ignore, nullptr) == 0 && ok;
    return ok;
}

int stopRequestCount() { return requestCount.load(); }

std::string lastStopRequestName() {
    switch (lastSignal.load()) {
    case 0: return {};
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "signal " + std::to_string(lastSignal.load());
    }
}

void wakeBlockedThread(std::thread& thread) {
    if (thread.joinable()) pthread_kill(thread.native_handle(), kWakeSignal);
}

void setUnfinishedFile(const std::string& path) {
    if (path.size() >= sizeof unfinishedFile) return;  // then a later run removes it
    // The terminating zero goes first, so the handler never sees a half-written name.
    unfinishedFile[0] = '\0';
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (path.empty()) return;
    std::memcpy(unfinishedFile + 1, path.c_str() + 1, path.size());
    std::atomic_signal_fence(std::memory_order_seq_cst);
    unfinishedFile[0] = path[0];
}

void stopRequestsHandled() {}

}  // namespace kalo::converter
