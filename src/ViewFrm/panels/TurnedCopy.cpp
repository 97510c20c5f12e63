#include "ViewFrm/panels/TurnedCopy.h"

#include "imaging/BackgroundPriority.h"
#include "imaging/TurnedStretch.h"

namespace duoptic {

TurnedCopy::~TurnedCopy() {
    stop();
}

void TurnedCopy::stop() {
    cancel_.store(true, std::memory_order_relaxed);
    if (worker_.joinable()) {
        worker_.join();
    }
    cancel_.store(false, std::memory_order_relaxed);
}

void TurnedCopy::clear() {
    stop();
    key_ = {};
    copy_ = Raster();
    made_ = false;
}

const Raster* TurnedCopy::ready(const Raster& eye, const Key& key, std::function<void()> made) {
    if (key == key_) {
        const std::lock_guard lock(mutex_);
        if (made_) {
            return &copy_;
        }
        if (worker_.joinable()) {
            return nullptr; // under way
        }
    }
    stop();
    key_ = key;
    copy_ = Raster();
    made_ = false;
    try {
        worker_ = std::thread([this, eye, roll = key.roll, made = std::move(made)] {
            lowerCallingThreadPriority(); // no one waits for it: the direct drawing goes on
            std::shared_ptr<const Picture> turned = turnedPicture(eye, roll, uncovered_, &cancel_);
            if (!turned) {
                return;
            }
            {
                const std::lock_guard lock(mutex_);
                copy_ = Raster::whole(std::move(turned));
                made_ = true;
            }
            made();
        });
    } catch (const std::system_error&) {
        // No thread to be had: the eye is drawn turned, as before there was a copy.
    }
    return nullptr;
}

const Raster& TurnedCopy::now(const Raster& eye, const Key& key) {
    if (key == key_ && worker_.joinable()) {
        worker_.join(); // under way: sooner done than begun again
    }
    if (key == key_ && made_) {
        return copy_;
    }
    stop();
    key_ = key;
    copy_ = Raster::whole(turnedPicture(eye, key.roll, uncovered_));
    made_ = true;
    return copy_;
}

} // namespace duoptic
