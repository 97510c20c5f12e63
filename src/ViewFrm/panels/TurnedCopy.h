#pragma once

#include "imaging/Raster.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace duoptic {

// An eye turned by its roll into a picture of its own, made on a thread of its own. Drawn shrunk
// from that picture, a turned eye costs what an unturned one does: drawn turned, each row of a
// shrunk eye crosses a hundred rows of the photograph, which memory does not stream.
class TurnedCopy {
public:
    // Which copy: of which pictures (the panels count the pictures they are given) and which
    // eye of them, turned by how much.
    struct Key {
        std::uint64_t pictures = 0;
        const std::uint8_t* pixels = nullptr;
        double roll = 0.0;

        bool operator==(const Key&) const = default;
    };

    explicit TurnedCopy(std::uint32_t uncovered) : uncovered_(uncovered) {}
    ~TurnedCopy();
    TurnedCopy(const TurnedCopy&) = delete;
    TurnedCopy& operator=(const TurnedCopy&) = delete;

    // The copy of `eye` for `key` once it is made; until then null, while it is being made, and
    // `made` is called on the worker's thread when it is.
    const Raster* ready(const Raster& eye, const Key& key, std::function<void()> made);
    // The copy of `eye` for `key`, made now on this thread if it is not yet.
    const Raster& now(const Raster& eye, const Key& key);
    // No copy kept or being made: its pixels go back.
    void clear();

private:
    void stop(); // the worker cancelled and joined

    const std::uint32_t uncovered_;
    Key key_;     // of the copy made or being made
    Raster copy_; // once made
    bool made_ = false;
    std::mutex mutex_; // over copy_ and made_ while the worker runs
    std::atomic<bool> cancel_{false};
    std::thread worker_;
};

} // namespace duoptic
