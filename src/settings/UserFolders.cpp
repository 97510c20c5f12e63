#include "settings/UserFolders.h"

#include <cstdlib>

namespace duoptic {

namespace {

std::string userFolder(const char* variable, const char* belowHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/" + belowHome;
    }
    return {};
}

} // namespace

std::string userConfigFolder() {
    return userFolder("XDG_CONFIG_HOME", ".config");
}

std::string userDataFolder() {
    return userFolder("XDG_DATA_HOME", ".local/share");
}

} // namespace duoptic
