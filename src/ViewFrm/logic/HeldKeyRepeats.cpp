#include "ViewFrm/logic/HeldKeyRepeats.h"

#include <algorithm>

namespace duoptic {

bool HeldKeyRepeats::stale(bool autoRepeat, std::uint64_t timestamp) const {
    // A timestamp before the last press belongs to a clock that wrapped round or was reset:
    // nothing is known about it, so it counts.
    return autoRepeat && timestamp >= lastPress_ && timestamp <= busyUntil_;
}

void HeldKeyRepeats::handled(std::uint64_t timestamp, std::int64_t handlingMilliseconds) {
    // The press waited in the queue for a while before it was handled, so its timestamp plus
    // the handling time comes no later than the real end: no repeat made after it is dropped.
    lastPress_ = timestamp;
    busyUntil_ =
        timestamp + static_cast<std::uint64_t>(std::max<std::int64_t>(0, handlingMilliseconds));
}

} // namespace duoptic
