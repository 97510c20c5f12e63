#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QFile>

namespace duoptic {

std::string programFolder() {
    std::string folder = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

} // namespace duoptic
