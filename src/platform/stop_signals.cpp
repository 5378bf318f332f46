#include "stop_signals.h"

#include <atomic>
#include <csignal>

namespace platform {

namespace {

std::atomic<bool> requested{false};

extern "C" void requestStop(int /*signal*/) {
    requested = true;
}

}  // namespace

void installStopSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    // A system call the signal interrupts goes on; the run looks at the request between its steps.
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool stopRequested() {
    return requested;
}

Stopped::Stopped() : Failure(QStringLiteral("A futás leállt: leállítási jelzés érkezett.")) {}

void stopIfRequested() {
    if (requested)
        throw Stopped();
}

}  // namespace platform
