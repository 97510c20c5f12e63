#include "ViewFrm/SlideTimer.h"

#include "base/ErrorReport.h"
#include "base/Trace.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <limits>

namespace duoptic {

namespace {

void logFailure(const QString& message) {
    std::fprintf(stderr, "Slide show: %s\n", errorReportText(message).toLocal8Bit().constData());
}

} // namespace

SlideTimer::SlideTimer(std::function<void()> onTick) {
    // A coarse timer may fire up to 5 % early to share wake-ups: a slide would come before its
    // tick, and the show would not keep its interval.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
}

void SlideTimer::setEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        apply();
    }
}

void SlideTimer::setInterval(int milliseconds) {
    if (milliseconds != interval_) {
        interval_ = milliseconds;
        apply();
    }
}

void SlideTimer::apply() {
    if (enabled_ && interval_ > 0) {
        timer_.start(interval_);
        trace("slide timer started");
    } else {
        timer_.stop();
    }
}

SlideShow::SlideShow(std::function<void()> step, std::function<void(bool)> showRunning)
    : timer_([this] { tick(); }), step_(std::move(step)), showRunning_(std::move(showRunning)) {}

void SlideShow::start(int seconds) {
    ++run_;
    timer_.setEnabled(true);
    running_ = true;
    showRunning_(true);
    timer_.setInterval(slideIntervalMilliseconds(seconds));
}

void SlideShow::stop() {
    timer_.setEnabled(false);
    running_ = false;
    showRunning_(false);
    timer_.setInterval(0);
}

void SlideShow::tick() {
    QMetaObject::invokeMethod(
        &queue_, [this, run = run_] { runStep(run); }, Qt::QueuedConnection);
}

void SlideShow::runStep(unsigned run) {
    if (!running_ || run != run_) {
        return; // stopped (Esc, the menu, a drop) after this step was queued
    }
    if (!stepRunning_) {
        stepRunning_ = true;
        guarded(step_);
        stepRunning_ = false;
        return;
    }
    // A step that failed is reporting in a box whose event loop delivers the later ticks. A box
    // for each further failure would stack nested loops without end over a folder of damaged
    // files; one box is enough to tell, the rest goes to the log.
    try {
        step_();
    } catch (const std::exception& error) {
        logFailure(QString::fromUtf8(error.what()));
    } catch (...) {
        logFailure(QString());
    }
}

int slideIntervalMilliseconds(int seconds) {
    // A product that a 32-bit timer cannot hold must not wrap round to a few milliseconds: error
    // reports would then come faster than anyone can close them.
    const std::int64_t milliseconds = std::int64_t{seconds} * 1000;
    if (milliseconds < 1 || milliseconds > std::numeric_limits<std::int32_t>::max()) {
        return 0;
    }
    return static_cast<int>(milliseconds);
}

} // namespace duoptic
