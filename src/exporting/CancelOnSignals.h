#pragma once

#include <atomic>
#include <csignal>

namespace duoptic {

// While it lives, SIGTERM and SIGINT set a flag instead of ending the program, so that work under
// way can stop and clean up first; what they did before is put back when it ends. A signal that
// was ignored stays ignored, as for a program started in the background. One at a time.
class CancelOnSignals {
public:
    CancelOnSignals();
    ~CancelOnSignals();
    CancelOnSignals(const CancelOnSignals&) = delete;
    CancelOnSignals& operator=(const CancelOnSignals&) = delete;

    const std::atomic<bool>* flag() const;
    // The signal that set the flag; 0 while none has come.
    int caught() const;

private:
    struct sigaction oldTerm_ {};
    struct sigaction oldInt_ {};
    bool termSet_ = false;
    bool intSet_ = false;
};

// Ends the program by the signal's default action, so that whoever started it learns that it was
// stopped by the signal; returns only where that action does not end it.
void endBySignal(int signal);

} // namespace duoptic
