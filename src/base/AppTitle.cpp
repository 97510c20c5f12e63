#include "base/AppTitle.h"

namespace duoptic {

QString applicationTitle(const QString& executableFileName) {
    QString title = executableFileName.section(QLatin1Char('.'), 0, 0);
    if (title.size() > 1) {
        title = title.left(1) + title.mid(1).toLower();
    }
    return title;
}

} // namespace duoptic
