#pragma once

#include "base/PairKey.h"
#include "imaging/PairHints.h"
#include "settings/PairOffsets.h"

#include <optional>

namespace duoptic {

// How far the right eye's picture is moved against the left one, in image pixels: the right
// eye's pixel (x, y) is drawn where its pixel (x + dx, y + dy) would be, after the picture is
// turned about its centre by roll hundredths of a degree, clockwise on screen.
struct EyeShift {
    int dx = 0;
    int dy = 0;
    int roll = 0;

    double rollDegrees() const { return roll / 100.0; }

    bool operator==(const EyeShift&) const = default;
};

// The shift of the pair on screen: the one the user gave it and the store keeps, or else what
// the measurement says. Changes by the user are kept by the pair's content (the store writes
// them a moment later).
class EyeAlignment {
public:
    explicit EyeAlignment(PairOffsetStore store) : store_(std::move(store)) {}

    // A new pair is on screen, its pictures imageWidth x imageHeight.
    EyeShift pairShown(std::optional<PairKey> key, const PairHints& hints, int imageWidth,
                       int imageHeight);
    // Moves the right eye by (dx, dy) more, within half the picture each way, and keeps it.
    EyeShift nudge(int dx, int dy);
    // Turns the right eye by `hundredths` of a degree more, clockwise, and keeps it.
    EyeShift turn(int hundredths);
    // Forgets the user's shift of the pair: back to what its hints say, no shift without any.
    EyeShift reset();

    EyeShift current() const { return shift_; }
    // Writes the user's shifts not written yet now, for those who read the store's file.
    void flushStore() { store_.flush(); }
    bool storedForPair() const { return stored_; }

private:
    EyeShift keep(EyeShift shift);
    EyeShift fromHints() const;

    PairOffsetStore store_;
    std::optional<PairKey> key_;
    PairHints hints_;
    EyeShift shift_;
    bool stored_ = false;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
};

} // namespace duoptic
