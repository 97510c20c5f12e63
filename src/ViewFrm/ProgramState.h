#pragma once

#include "settings/Settings.h"

#include <string>

namespace duoptic {

// The display name while no pair is shown.
inline constexpr char kNoPairName[] = "STEREO PHOTO";

// The values that live for the whole run and that the main window and the Filer share.
struct ProgramState {
    std::string programFolder;             // ends in "/"
    std::string settingsPath;              // where the settings are read from and written to
    SettingsRecord settings;               // the live option store
    std::string displayName = kNoPairName; // bytes: a base name need not be UTF-8
};

// The state at start, with the settings read from the program folder's settings file (an empty
// folder stands for the current directory). They are read once, before anything else needs them.
ProgramState readProgramState(std::string programFolder);

} // namespace duoptic
