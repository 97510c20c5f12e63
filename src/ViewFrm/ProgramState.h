#pragma once

#include "catalogue/PairList.h"
#include "settings/Settings.h"

#include <string>

namespace duoptic {

// The values that live for the whole run and that the main window and the Filer share.
struct ProgramState {
    std::string programFolder;                // ends in "/"
    std::string settingsPath;                 // where the settings are read from and written to
    SettingsRecord settings;                  // the live option store
    PairCatalogue pairs;                      // Pair list and pair cursor
    std::string displayName = "STEREO PHOTO"; // bytes: a base name need not be UTF-8
};

} // namespace duoptic
