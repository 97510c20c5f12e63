#pragma once

#include "modes/DisplayModes.h"
#include "modes/ViewerModes.h"
#include "settings/IniFile.h"

#include <string>

namespace duoptic {

// The options and the main window's placement kept between runs. Values are taken as the file
// holds them, even outside the ranges that the prompt and the Filer keep; only the on/off
// additions below, which have no such keeper, take their default for anything but 0 and 1.
struct SettingsRecord {
    ViewerMode viewerMode;
    int fittingMode = 0;    // as stored: see modes/FittingModes.h
    int borderWidth = 4;    // pixels between the two panels
    int slideInterval = 10; // seconds
    std::string latestPath; // folder with its trailing "/"; readSettings defaults it
    int winTop = 0;         // outer frame, screen pixels
    int winLeft = 0;
    int winWidth = 600;
    int winHeight = 480;
    int winState = 0; // 0 normal, 1 minimised, 2 maximised

    // Additions of this viewer, each in a section of its own. They are written only when they
    // differ from their defaults or the file already holds them, so the file of a user who never
    // changes them keeps exactly the keys above.
    DisplayMode displayMode = DisplayMode::SideBySide; // [Display] Mode
    int interlaceSwap = 0;   // [Display] SwapParity; 1: the left eye on odd lines
    int mirrorLeft = 0;      // [Display] MirrorLeft; 1: the left panel is flipped
    int autoAlign = 0;       // [Alignment] Automatic; 1: measure and correct on load
    int orientJpegPairs = 0; // [Alignment] OrientJpeg; 1: turn the JPEG kinds upright
    int autoWindow = 0;      // [Alignment] AutoWindow; 1: the nearest point to the screen plane
    int showDepth = 0;       // [Alignment] Depth; 1: the depth overlay is shown
    int screenWidthMm = 0;   // [Alignment] ScreenWidth; the screen's width, 0: as the system says
    int eyeDistanceMm = 65;  // [Alignment] EyeDistance; between the viewer's eyes
    int cropCommon = 0;      // [Alignment] CropCommon; 1: show only what both eyes cover
    int showCameraData = 0;  // [Overlay] CameraData; 1: the files and the camera's data are shown

    bool operator==(const SettingsRecord&) const = default;
};

// Missing file or key, or an integer that does not convert: that key's default, silently. The
// default of latestPath is the program folder.
SettingsRecord readSettings(const std::string& iniPath, const std::string& programFolder);

// Writes the values into the file as it is now, keeping everything else in it, and saves it
// atomically. Throws Error("<iniPath> に書き込めません") and leaves the old file intact when the
// file or its folder cannot be written, when the file exists but cannot be read whole (writing it
// would lose what it holds) or when the result would be larger than the reader takes. A text
// value that the file cannot give back unchanged is not written; the key keeps what it held.
void writeSettings(const std::string& iniPath, const SettingsRecord& record);

// The same, with the file as it was read handed in.
void writeSettingsOver(IniFile file, const std::string& iniPath, const SettingsRecord& record);

// programFolder (ending in "/") + "duoptic.ini". An installed copy, whose program folder holds no
// duoptic.ini and is not writable, uses $XDG_CONFIG_HOME/duoptic/duoptic.ini instead (by default
// $HOME/.config/duoptic/duoptic.ini).
std::string settingsFilePath(const std::string& programFolder);

} // namespace duoptic
