#include "ViewFrm/EyeAlignment.h"

#include <algorithm>

namespace duoptic {

EyeShift EyeAlignment::pairShown(std::optional<PairKey> key, const PairHints& hints, int imageWidth,
                                 int imageHeight) {
    key_ = key;
    hints_ = hints;
    imageWidth_ = imageWidth;
    imageHeight_ = imageHeight;
    const std::optional<PairOffset> stored = key ? store_.find(*key) : std::nullopt;
    stored_ = stored.has_value();
    shift_ = stored ? EyeShift{stored->dx, stored->dy, stored->roll} : fromHints();
    return shift_;
}

EyeShift EyeAlignment::nudge(int dx, int dy) {
    // Beyond half the picture the two eyes would no longer overlap at all.
    const int maxX = imageWidth_ / 2;
    const int maxY = imageHeight_ / 2;
    return keep({std::clamp(shift_.dx + dx, -maxX, maxX), std::clamp(shift_.dy + dy, -maxY, maxY),
                 shift_.roll});
}

EyeShift EyeAlignment::turn(int hundredths) {
    EyeShift turned = shift_;
    turned.roll = std::clamp(shift_.roll + hundredths, -PairOffset::kMaxRoll, PairOffset::kMaxRoll);
    return keep(turned);
}

EyeShift EyeAlignment::reset() {
    if (key_) {
        store_.set(*key_, {}); // an all-zero entry is no entry
    }
    stored_ = false;
    shift_ = fromHints();
    return shift_;
}

EyeShift EyeAlignment::fromHints() const {
    return {hints_.dx(), hints_.dy(), hints_.roll()};
}

EyeShift EyeAlignment::keep(EyeShift shift) {
    shift_ = shift;
    if (key_) {
        store_.set(*key_, {shift.dx, shift.dy, shift.roll});
        // A shift moved back to zero without a roll is removed from the store like a reset.
        stored_ = shift != EyeShift{};
    }
    return shift_;
}

} // namespace duoptic
