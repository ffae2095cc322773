#include "converter/platform/stop_requests.h"

#include <atomic>
#include <csignal>

namespace kalo::converter {
namespace {

std::atomic<int> requestCount{0};
std::atomic<int> lastSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "signal handlers need lock-free atomics");

extern "C" void onStopSignal(int signalNumber) {
    lastSignal.store(signalNumber);
    requestCount.fetch_add(1);
}

}  // namespace

bool installStopRequestHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // blocking reads and writes carry on; we poll the count
    bool ok = sigaction(SIGINT, &action, nullptr) == 0;
    ok = sigaction(SIGTERM, &action, nullptr) == 0 && ok;
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
    default: return "signal " + std::to_string(lastSignal.load());
    }
}

void stopRequestsHandled() {}

}  // namespace kalo::converter
