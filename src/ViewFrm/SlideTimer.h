#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace duoptic {

// The slide timer: ticks only while enabled and with an interval above 0. Setting the enabled
// flag or the interval to a new value restarts the countdown; setting the value it already has
// changes nothing. A zero interval must never reach QTimer, which would fire on every idle pass.
class SlideTimer {
public:
    explicit SlideTimer(std::function<void()> onTick);

    void setEnabled(bool enabled);
    void setInterval(int milliseconds);
    bool enabled() const { return enabled_; }
    int interval() const { return interval_; }
    bool ticking() const { return timer_.isActive(); }

private:
    void apply();

    QTimer timer_;
    bool enabled_ = false;
    int interval_ = 1000;
};

// The slide show: its timer and its running state, which the menu shows as a check mark.
// Starting and stopping each take three steps in a fixed order; the interval is taken at the
// start, so a change of the setting counts from the next start.
//
// A tick does not run its step at once: the step is queued and runs after the timer's slot has
// returned. A failing step shows its report in a nested event loop, and Qt fires a timer again
// only once its slot is done: run inline, the show would stall until the report is closed
// instead of going on beneath it.
class SlideShow {
public:
    SlideShow(std::function<void()> step, std::function<void(bool)> showRunning);

    bool running() const { return running_; }
    void start(int seconds); // timer enabled, shown running, interval seconds x 1000
    void stop();             // timer disabled, shown stopped, interval 0
    const SlideTimer& timer() const { return timer_; }

    // What the timer does on every tick; callable directly so that tests need not wait.
    void tick();

private:
    void runStep(unsigned run);

    SlideTimer timer_;
    std::function<void()> step_;
    std::function<void(bool)> showRunning_;
    bool running_ = false;
    // Counts the starts, so that a step queued by one run of the show is dropped once that run
    // has ended, even when another has begun before the queue reached it.
    unsigned run_ = 0;
    // Set while a step runs, which includes the time its error report is open.
    bool stepRunning_ = false;
    QObject queue_; // context of the queued steps: they die with the show
};

// The interval of a slide show in milliseconds: seconds x 1000. A hand-edited settings file may
// hold any number: a product below 1 ms or beyond what a 32-bit timer holds gives 0, which never
// ticks.
int slideIntervalMilliseconds(int seconds);

} // namespace duoptic
