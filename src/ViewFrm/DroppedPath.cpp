#include "ViewFrm/DroppedPath.h"

#include <QMimeData>
#include <QSysInfo>
#include <QUrl>

namespace duoptic {

namespace {

// The host of a file URI names the machine that holds the file. Only this machine's files can
// be opened: the path of another machine's file would name some other file here.
bool namesThisMachine(const QString& host) {
    return host.isEmpty() || host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0 ||
           host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<std::string> localPathOf(const QUrl& url) {
    if (!url.isLocalFile() || !namesThisMachine(url.host())) {
        return std::nullopt;
    }
    const QString encoded = url.path(QUrl::FullyEncoded);
    std::string path = QByteArray::fromPercentEncoding(encoded.toLatin1()).toStdString();
    // An encoded NUL cannot be part of a name: the system would cut the path there and open
    // some other folder.
    if (path.empty() || path.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return path;
}

std::optional<std::string> droppedPath(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) {
        return std::nullopt;
    }
    return localPathOf(data->urls().front());
}

} // namespace duoptic
