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
    shift_ = stored ? EyeShift{stored->dx, stored->dy} : fromHints();
    return shift_;
}

EyeShift EyeAlignment::nudge(int dx, int dy) {
    // Beyond half the picture the two eyes would no longer overlap at all.
    const int maxX = imageWidth_ / 2;
    const int maxY = imageHeight_ / 2;
    return keep({std::clamp(shift_.dx + dx, -maxX, maxX), std::clamp(shift_.dy + dy, -maxY, maxY)});
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
    return {hints_.windowDx.value_or(0), hints_.measuredDy.value_or(0)};
}

EyeShift EyeAlignment::keep(EyeShift shift) {
    shift_ = shift;
    if (key_) {
        // The nudges leave the pair's roll as it is stored.
        const int roll = store_.find(*key_).value_or(PairOffset{}).roll;
        store_.set(*key_, {shift.dx, shift.dy, roll});
        // A shift moved back to zero without a roll is removed from the store like a reset.
        stored_ = shift != EyeShift{} || roll != 0;
    }
    return shift_;
}

} // namespace duoptic
