#include "app/ProgramFolder.h"

#include "base/Paths.h"

#include <QCoreApplication>
#include <QFile>

namespace duoptic {

std::string programFolder() {
    return withTrailingSeparator(
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
}

} // namespace duoptic
