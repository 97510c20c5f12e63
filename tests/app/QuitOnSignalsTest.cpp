#include "app/QuitOnSignals.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

namespace duoptic {
namespace {

void (*currentAction(int signal))(int) {
    struct sigaction now {};
    sigaction(signal, nullptr, &now);
    return now.sa_handler;
}

// Long enough for the event loop to read what a handler wrote.
void deliverWakeUps() {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 500)
        QCoreApplication::processEvents();
}

// However many quit signals come, the end is asked for once; and the actions the signals had
// before, whatever they were, are theirs again afterwards.
TEST(QuitOnSignals, AsksOnceAndGivesTheSignalsBack) {
    std::signal(SIGHUP, SIG_IGN); // as nohup leaves it
    int requests = 0;
    {
        QuitOnSignals quitOnSignals;
        QObject::connect(&quitOnSignals, &QuitOnSignals::quitRequested, [&] { ++requests; });
        for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGTERM})
            std::raise(signal);
        deliverWakeUps();
    }
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(currentAction(SIGHUP), SIG_IGN);
    EXPECT_EQ(currentAction(SIGTERM), SIG_DFL);
}

// Started under nohup, the viewer outlives its terminal's hang-up, and still ends on the others.
TEST(QuitOnSignals, LeavesAnIgnoredSignalIgnored) {
    std::signal(SIGHUP, SIG_IGN);
    int requests = 0;
    QuitOnSignals quitOnSignals;
    QObject::connect(&quitOnSignals, &QuitOnSignals::quitRequested, [&] { ++requests; });
    for (const int signal : {SIGHUP, SIGTERM}) {
        std::raise(signal);
        deliverWakeUps();
        EXPECT_EQ(requests, signal == SIGTERM ? 1 : 0) << strsignal(signal);
    }
}

} // namespace
} // namespace duoptic
