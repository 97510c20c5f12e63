// The pair on screen to the trash: asked first, then done by the navigator, then the next pair.
#include "ViewFrm/ViewForm.h"

#include "base/AccessibleNames.h"
#include "base/Error.h"
#include "base/ErrorReport.h"

#include <QAction>
#include <QFile>
#include <QMessageBox>

namespace duoptic {

namespace {

const QString kTitle = QStringLiteral("Duoptic - Move to Trash");

QString shownPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// Return moves the files, Esc keeps them.
bool confirmed(QWidget* parent, const PairRequest& pair) {
    QString files = shownPath(pair.file);
    if (!pair.rightEyeFile.empty()) {
        files += QLatin1Char('\n') + shownPath(pair.rightEyeFile);
    }
    // Esc gives No: the box has no Cancel button, so No is its escape button.
    return showMessage(parent, QMessageBox::Question, kTitle,
                       QStringLiteral("Move the files of this pair to the trash?\n\n") + files,
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

} // namespace

void TViewForm::createTrashCommand() {
    ui_.moveToTrash = new QAction(QStringLiteral("Move to Trash..."), this);
    ui_.moveToTrash->setObjectName(QStringLiteral("FileMoveToTrash"));
    connect(ui_.moveToTrash, &QAction::triggered, this,
            [this] { guarded([&] { FileMoveToTrashExecute(); }); });
}

void TViewForm::FileMoveToTrashExecute() {
    if (slideShow_.running()) {
        slideShow_.stop();
    }
    const std::optional<PairRequest> pair = navigator_.onScreen();
    if (!pair) {
        showMessage(this, QMessageBox::Information, kTitle,
                    QStringLiteral("The sample pair is on screen: it has no files to move to the "
                                   "trash."));
        return;
    }
    // What is on screen may have changed while the box was open (a drop): only what the user
    // saw named goes.
    if (!confirmed(this, *pair) || navigator_.onScreen() != pair) {
        return;
    }
    const PairNavigator::Trashed trashed = navigator_.trashOnScreen(viewerSides());
    if (!trashed.complete) {
        throw Error(trashReport(trashed.files));
    }
    if (trashed.opened.pair) {
        showOpened(trashed.opened);
    } else {
        showSamplePair(); // nothing left to show, as in a folder without pairs
        schedulePreload();
    }
}

} // namespace duoptic
