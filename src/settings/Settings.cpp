#include "settings/Settings.h"

#include "base/Error.h"
#include "base/Messages.h"

#include "settings/IniFile.h"
#include "settings/SaveFile.h"
#include "settings/TextToInt.h"
#include "settings/UserFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <string_view>
#include <variant>

namespace duoptic {

namespace {

constexpr std::string_view kFileName = "duoptic.ini";

using TextMember = std::string SettingsRecord::*;
using IntMember = int SettingsRecord::*;
using ViewerMember = ViewerMode SettingsRecord::*;
using DisplayMember = DisplayMode SettingsRecord::*;

struct Field {
    std::string_view section;
    std::string_view key;
    std::variant<TextMember, IntMember, ViewerMember, DisplayMember> member;
    bool onOff = false; // 0 or 1; any other number is out of range and gives the default
};

// The keys in the order in which they are read and written; a file written from nothing gets
// its sections and keys in this order.
const std::array<Field, 10> kFields{{
    {"Viewer", "ViewerMode", &SettingsRecord::viewerMode},
    {"Viewer", "FittingMode", &SettingsRecord::fittingMode},
    {"Viewer", "BorderWidth", &SettingsRecord::borderWidth},
    {"Viewer", "SlideInterval", &SettingsRecord::slideInterval},
    {"File", "LatestPath", &SettingsRecord::latestPath},
    {"Window", "WinTop", &SettingsRecord::winTop},
    {"Window", "WinLeft", &SettingsRecord::winLeft},
    {"Window", "WinWidth", &SettingsRecord::winWidth},
    {"Window", "WinHeight", &SettingsRecord::winHeight},
    {"Window", "WinState", &SettingsRecord::winState},
}};

// Written only when not at their default or already in the file (see SettingsRecord).
const std::array<Field, 11> kOptionalFields{{
    {"Display", "Mode", &SettingsRecord::displayMode},
    {"Display", "SwapParity", &SettingsRecord::interlaceSwap, true},
    {"Display", "MirrorLeft", &SettingsRecord::mirrorLeft, true},
    {"Alignment", "Automatic", &SettingsRecord::autoAlign, true},
    {"Alignment", "OrientJpeg", &SettingsRecord::orientJpegPairs, true},
    {"Alignment", "CropCommon", &SettingsRecord::cropCommon, true},
    {"Alignment", "AutoWindow", &SettingsRecord::autoWindow, true},
    {"Alignment", "Depth", &SettingsRecord::showDepth, true},
    {"Alignment", "ScreenWidth", &SettingsRecord::screenWidthMm},
    {"Alignment", "EyeDistance", &SettingsRecord::eyeDistanceMm},
    {"Overlay", "CameraData", &SettingsRecord::showCameraData, true},
}};

void readField(const IniFile& file, const Field& field, SettingsRecord& record) {
    const std::optional<std::string> text = file.read(field.section, field.key);
    if (const auto* member = std::get_if<IntMember>(&field.member)) {
        const int value = textToInt(text.value_or(""), record.*(*member), ZeroXPrefix::AtStartOnly);
        if (!field.onOff || value == 0 || value == 1) {
            record.*(*member) = value;
        }
    } else if (!text) {
        return;
    } else if (const auto* viewer = std::get_if<ViewerMember>(&field.member)) {
        record.*(*viewer) = ViewerMode(*text);
    } else if (const auto* display = std::get_if<DisplayMember>(&field.member)) {
        // Only an exact stored name means its mode; anything else is shown side by side.
        record.*(*display) = displayMode(*text);
    } else {
        record.*std::get<TextMember>(field.member) = *text;
    }
}

std::string fieldText(const Field& field, const SettingsRecord& record) {
    if (const auto* member = std::get_if<IntMember>(&field.member)) {
        return std::to_string(record.*(*member));
    }
    if (const auto* viewer = std::get_if<ViewerMember>(&field.member)) {
        return (record.*(*viewer)).text();
    }
    if (const auto* display = std::get_if<DisplayMember>(&field.member)) {
        return std::string(storedDisplayMode(record.*(*display)));
    }
    return record.*std::get<TextMember>(field.member);
}

bool exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

// Where the system's package manager puts programs: an installed copy keeps its settings with the
// user, even when the user (root) could write beside the program.
bool isSystemProgramFolder(const std::string& folder) {
    for (const char* system : {"/usr/bin/", "/bin/", "/usr/local/bin/", "/usr/games/"}) {
        if (folder == system) {
            return true;
        }
    }
    return false;
}

} // namespace

SettingsRecord readSettings(const std::string& iniPath, const std::string& programFolder) {
    SettingsRecord record;
    record.latestPath = programFolder;
    const IniFile file = IniFile::load(iniPath);
    for (const Field& field : kFields) {
        readField(file, field, record);
    }
    for (const Field& field : kOptionalFields) {
        readField(file, field, record);
    }
    return record;
}

void writeSettings(const std::string& iniPath, const SettingsRecord& record) {
    writeSettingsOver(IniFile::load(iniPath), iniPath, record);
}

void writeSettingsOver(IniFile file, const std::string& iniPath, const SettingsRecord& record) {
    if (!file.rewritable()) {
        throw Error(messages::cannotWrite(iniPath));
    }
    // A text that no line would give back unchanged, such as a folder name with a line break,
    // leaves the file's own value (or none, which reads as the default).
    for (const Field& field : kFields) {
        file.write(field.section, field.key, fieldText(field, record));
    }
    const SettingsRecord defaults;
    for (const Field& field : kOptionalFields) {
        const std::string text = fieldText(field, record);
        if (text != fieldText(field, defaults) || file.read(field.section, field.key)) {
            file.write(field.section, field.key, text);
        }
    }
    // A file larger than the reader takes could never be read whole or rewritten again.
    const std::string text = file.text();
    if (text.size() > IniFile::kMaxFileSize) {
        throw Error(messages::cannotWrite(iniPath));
    }
    saveFileAtomically(iniPath, text);
}

std::string settingsFilePath(const std::string& programFolder) {
    std::string beside = programFolder + std::string(kFileName);
    if (exists(beside) || (!isSystemProgramFolder(programFolder) &&
                           access(programFolder.c_str(), W_OK | X_OK) == 0)) {
        return beside;
    }
    const std::string config = userConfigFolder();
    if (config.empty()) {
        return beside;
    }
    return config + "/duoptic/" + std::string(kFileName);
}

} // namespace duoptic
