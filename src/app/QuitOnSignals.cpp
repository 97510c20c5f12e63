#include "app/QuitOnSignals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <iterator>

namespace duoptic {

namespace {

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::atomic<int> wakeFd{-1}; // the socket end that the handler writes to
static_assert(std::atomic<int>::is_always_lock_free, "read inside a signal handler");

void onPosixSignal(int) {
    const char byte = 1;
    // Nothing else is safe in a signal handler; a full socket already holds a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(wakeFd.load(), &byte, 1);
}

// Set so by nohup, or by a parent that wants the program to live on after its terminal: that
// choice is the caller's and stays, so such a signal is neither caught nor given back.
bool ignoredBefore(const struct sigaction& earlier) {
    return (earlier.sa_flags & SA_SIGINFO) == 0 && earlier.sa_handler == SIG_IGN;
}

} // namespace

QuitOnSignals::WakeSocket::WakeSocket() {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) == 0) {
        readEnd = fds[0];
        writeEnd = fds[1];
    }
}

QuitOnSignals::WakeSocket::~WakeSocket() {
    for (const int fd : {readEnd, writeEnd}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

QuitOnSignals::QuitOnSignals(QObject* parent) : QObject(parent) {
    static_assert(std::size(kQuitSignals) == std::size(decltype(earlier_){}));
    if (wake_.readEnd < 0) {
        return; // the signals keep their actions: they end the program, as they would anyway
    }
    notifier_.emplace(wake_.readEnd, QSocketNotifier::Read);
    connect(&*notifier_, &QSocketNotifier::activated, this, &QuitOnSignals::onWake);
    wakeFd = wake_.writeEnd;
    struct sigaction action {};
    action.sa_handler = onPosixSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kQuitSignals); ++i) {
        ::sigaction(kQuitSignals[i], nullptr, &earlier_[i]);
        if (!ignoredBefore(earlier_[i])) {
            ::sigaction(kQuitSignals[i], &action, nullptr);
        }
    }
    caught_ = true;
}

QuitOnSignals::~QuitOnSignals() {
    if (caught_) {
        for (std::size_t i = 0; i < std::size(kQuitSignals); ++i) {
            if (!ignoredBefore(earlier_[i])) {
                ::sigaction(kQuitSignals[i], &earlier_[i], nullptr);
            }
        }
        wakeFd = -1;
    }
}

void QuitOnSignals::onWake() {
    char drain[64];
    while (::read(wake_.readEnd, drain, sizeof drain) > 0) {
    }
    if (!quitting_) {
        quitting_ = true; // the settings are written once, however many signals come
        emit quitRequested();
    }
}

} // namespace duoptic
