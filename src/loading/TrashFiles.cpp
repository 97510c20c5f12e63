#include "loading/TrashFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>

namespace duoptic {

namespace {

// Qt 6.4 takes the current folder for the trash when it finds no trash at all, and moves the
// file into a "files" folder there. The home trash, made here when it is missing, is always
// found, so a file goes to a real trash or stays.
bool homeTrashReady(const QString& dataHome) {
    if (dataHome.isEmpty() || !QDir().mkpath(dataHome)) {
        return false;
    }
    const QByteArray trash = QFile::encodeName(dataHome + QStringLiteral("/Trash"));
    ::mkdir(trash.constData(), 0700); // the user's alone, as the trash is to be; may exist
    struct stat status {};
    return ::stat(trash.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

std::vector<TrashedFile> moveFilesToTrash(const std::vector<std::string>& files) {
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const bool trashReady = homeTrashReady(dataHome);
    std::vector<TrashedFile> outcome;
    for (const std::string& path : files) {
        TrashedFile file{path, {}, {}};
        const QString name = QFile::decodeName(QByteArray::fromStdString(path));
        if (QFile::encodeName(name).toStdString() != path) {
            file.why = "its name is not UTF-8, which the trash cannot record";
        } else if (!trashReady) {
            file.why = "there is no trash folder in " + QFile::encodeName(dataHome).toStdString() +
                       ", nor can one be made";
        } else if (QFile moved(name); moved.moveToTrash()) {
            file.inTrash = QFile::encodeName(moved.fileName()).toStdString();
        } else {
            file.why = moved.errorString().toStdString();
        }
        outcome.push_back(std::move(file));
    }
    return outcome;
}

std::string trashReport(const std::vector<TrashedFile>& files) {
    std::string text =
        "Not every file of the pair went to the trash, so the pair stays in the list:";
    for (const TrashedFile& file : files) {
        text += "\n" + file.path +
                (file.trashed() ? " went to the trash: " + file.inTrash
                                : " stays where it is: " + file.why);
    }
    return text;
}

} // namespace duoptic
