#pragma once

#include "loading/PairRequest.h"
#include "settings/Settings.h"

namespace duoptic {

// What the user's settings ask of every load.
inline LoadChoices loadChoices(const SettingsRecord& settings) {
    // The window and the depth overlay read the disparities that the alignment's work measures.
    const bool measure =
        settings.autoAlign != 0 || settings.autoWindow != 0 || settings.showDepth != 0;
    return {settings.orientJpegPairs != 0, measure};
}

} // namespace duoptic
