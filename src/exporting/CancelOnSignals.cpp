#include "exporting/CancelOnSignals.h"

#include <signal.h>

namespace duoptic {

namespace {

std::atomic<bool> cancelled{false};
volatile std::sig_atomic_t caughtSignal = 0;

static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void onSignal(int signal) {
    caughtSignal = signal;
    cancelled.store(true);
}

bool catchSignal(int signal, struct sigaction& old) {
    if (sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Writes and reads under way go on: the flag is looked at between steps.
    action.sa_flags = SA_RESTART;
    return sigaction(signal, &action, nullptr) == 0;
}

} // namespace

CancelOnSignals::CancelOnSignals() {
    cancelled.store(false);
    caughtSignal = 0;
    termSet_ = catchSignal(SIGTERM, oldTerm_);
    intSet_ = catchSignal(SIGINT, oldInt_);
}

CancelOnSignals::~CancelOnSignals() {
    if (termSet_) {
        sigaction(SIGTERM, &oldTerm_, nullptr);
    }
    if (intSet_) {
        sigaction(SIGINT, &oldInt_, nullptr);
    }
}

const std::atomic<bool>* CancelOnSignals::flag() const {
    return &cancelled;
}

int CancelOnSignals::caught() const {
    return caughtSignal;
}

void endBySignal(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
}

} // namespace duoptic
