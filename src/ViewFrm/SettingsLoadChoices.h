#pragma once

#include "loading/PairRequest.h"
#include "settings/Settings.h"

namespace duoptic {

// What the user's settings ask of every load.
inline LoadChoices loadChoices(const SettingsRecord& settings) {
    return {settings.orientJpegPairs != 0, settings.autoAlign != 0};
}

} // namespace duoptic
