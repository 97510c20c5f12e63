#pragma once

#include <cstdint>

namespace duoptic {

// Folds the auto-repeats of a held key that queued up while the previous press was handled.
// X11 queues every repeat, so a key held over slow steps would keep stepping long after it is
// released; the drop keeps one step per handling, as a platform that folds repeats does.
// Times are the key events' own timestamps in milliseconds.
class HeldKeyRepeats {
public:
    // True for an auto-repeated press made before the handling of the last press had ended.
    bool stale(bool autoRepeat, std::uint64_t timestamp) const;
    // A press made at `timestamp` took `handlingMilliseconds` to handle.
    void handled(std::uint64_t timestamp, std::int64_t handlingMilliseconds);

private:
    std::uint64_t lastPress_ = 0;
    std::uint64_t busyUntil_ = 0;
};

} // namespace duoptic
