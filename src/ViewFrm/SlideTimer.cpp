#include "ViewFrm/SlideTimer.h"

#include <cstdint>

namespace duoptic {

SlideTimer::SlideTimer(std::function<void()> onTick) {
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
    } else {
        timer_.stop();
    }
}

int slideIntervalMilliseconds(int seconds) {
    // Wraps like the 32-bit product it stands for, without the undefined overflow.
    return static_cast<int>(static_cast<std::uint32_t>(seconds) * 1000u);
}

} // namespace duoptic
