#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <csignal>
#include <optional>

namespace duoptic {

// Turns SIGTERM, SIGINT and SIGHUP into one quitRequested() on the event loop's thread, so that
// the program ends the way the close box ends it and writes its settings. A signal handler may
// only write to a socket; the event loop reads it. A signal the program was started with
// ignored (`nohup` ignores SIGHUP) stays ignored.
//
// The signals stay caught for the object's whole life, also after the first one: a session
// manager repeats itself, a user presses Ctrl+C twice. Make it before the window whose
// destruction writes the settings, so that such a second signal cannot end the process before or
// during that write. One object at a time; the signals' earlier actions come back at its end.
class QuitOnSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignals(QObject* parent = nullptr);
    ~QuitOnSignals() override;
    QuitOnSignals(const QuitOnSignals&) = delete;
    QuitOnSignals& operator=(const QuitOnSignals&) = delete;

signals:
    void quitRequested();

private:
    // A connected pair of non-blocking sockets, closed with the object; both ends are -1 when
    // the pair could not be made.
    struct WakeSocket {
        WakeSocket();
        ~WakeSocket();
        WakeSocket(const WakeSocket&) = delete;
        WakeSocket& operator=(const WakeSocket&) = delete;
        int readEnd = -1;
        int writeEnd = -1;
    };

    void onWake();

    WakeSocket wake_;
    std::optional<QSocketNotifier> notifier_; // destroyed before the socket it watches
    struct sigaction earlier_[3] = {};        // one for each caught signal
    bool caught_ = false;
    bool quitting_ = false;
};

} // namespace duoptic
