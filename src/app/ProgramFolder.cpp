#include "app/ProgramFolder.h"

#include "base/Paths.h"

#include <filesystem>
#include <system_error>

namespace duoptic {

std::string programFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::canonical("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return withTrailingSeparator(executable.parent_path().native());
}

} // namespace duoptic
