#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

namespace pw::cli {

namespace {

// Lock-free, so the handler may set it (async-signal-safe) and any thread may read it.
std::atomic<int> g_caught{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void onInterrupt(int signal) {
    int none = 0;
    if (!g_caught.compare_exchange_strong(none, signal)) {
        // The user insists: end now with the signal's own default action.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

} // namespace

void installInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // reads and writes in progress go on rather than fail
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int caughtSignal() {
    return g_caught.load();
}

const char* caughtSignalName() {
    return caughtSignal() == SIGINT ? "SIGINT" : "SIGTERM";
}

} // namespace pw::cli
