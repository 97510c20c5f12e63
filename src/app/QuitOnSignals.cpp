#include "app/QuitOnSignals.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace duoptic {

namespace {

int wakeFds[2] = {-1, -1}; // written by the handler, read by the event loop

void onPosixSignal(int) {
    const char byte = 1;
    // Nothing else is safe in a signal handler; a full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(wakeFds[0], &byte, 1);
}

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

QuitOnSignals::QuitOnSignals(std::function<void()> quit) : quit_(std::move(quit)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeFds) == 0) {
        notifier_ = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] { onSignal(); });
        struct sigaction action {};
        action.sa_handler = onPosixSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signal : kQuitSignals) {
            ::sigaction(signal, &action, nullptr);
        }
    }
    // The session manager asks before the desktop session ends; the settings are written then,
    // as the session may not wait for a later chance.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::commitDataRequest, this, [this] { onSignal(); });
    }
}

QuitOnSignals::~QuitOnSignals() {
    for (int signal : kQuitSignals) {
        std::signal(signal, SIG_DFL);
    }
    delete notifier_;
    for (int& fd : wakeFds) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

void QuitOnSignals::onSignal() {
    char drain[64];
    while (wakeFds[1] >= 0 && ::read(wakeFds[1], drain, sizeof drain) > 0) {
    }
    if (!quitting_) {
        quitting_ = true; // the settings are written once, however many signals come
        quit_();
    }
}

} // namespace duoptic
