#include "app/ProgramFolder.h"

#include "base/Paths.h"

#include <QCoreApplication>
#include <QFile>

#include <filesystem>
#include <system_error>

namespace duoptic {

std::string programFolder() {
    return withTrailingSeparator(
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
}

std::string earlyProgramFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::canonical("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return withTrailingSeparator(executable.parent_path().native());
}

} // namespace duoptic
