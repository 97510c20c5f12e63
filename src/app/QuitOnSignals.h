#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace duoptic {

// Turns SIGTERM, SIGINT and SIGHUP, and the end of the desktop session, into one call of
// `quit` on the event loop's thread, so that the program ends the way the close box ends it and
// writes its settings. A signal handler may only write to a pipe; the event loop reads it.
class QuitOnSignals : public QObject {
public:
    explicit QuitOnSignals(std::function<void()> quit);
    ~QuitOnSignals() override;
    QuitOnSignals(const QuitOnSignals&) = delete;
    QuitOnSignals& operator=(const QuitOnSignals&) = delete;

private:
    void onSignal();

    std::function<void()> quit_;
    QSocketNotifier* notifier_ = nullptr;
    bool quitting_ = false;
};

} // namespace duoptic
