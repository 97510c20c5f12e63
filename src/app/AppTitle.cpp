#include "app/AppTitle.h"

#include <QCoreApplication>
#include <QFile>

namespace duoptic {

QString applicationTitle(const QString& executableFileName) {
    QString title = executableFileName.section(QLatin1Char('.'), 0, 0);
    if (title.size() > 1) {
        title = title.left(1) + title.mid(1).toLower();
    }
    return title;
}

std::string programFolder() {
    std::string folder = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

} // namespace duoptic
