#include "app/QuitOnSignals.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace duoptic {
namespace {

void (*currentAction(int signal))(int) {
    struct sigaction now {};
    sigaction(signal, nullptr, &now);
    return now.sa_handler;
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
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 500)
            QCoreApplication::processEvents();
    }
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(currentAction(SIGHUP), SIG_IGN);
    EXPECT_EQ(currentAction(SIGTERM), SIG_DFL);
}

} // namespace
} // namespace duoptic
