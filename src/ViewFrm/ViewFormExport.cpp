// Writing pairs out: the pair on screen as it is shown (Save As), and the whole Pair list.
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/panels/DisplayDrawing.h"

#include "ExportFrm/RunSaveAs.h"
#include "base/AccessibleNames.h"
#include "base/ErrorReport.h"

#include <QAction>
#include <QMessageBox>

namespace duoptic {

void TViewForm::createExportCommands() {
    ui_.saveAs = new QAction(QStringLiteral("Save As..."), this);
    ui_.saveAs->setObjectName(QStringLiteral("FileSaveAs"));
    connect(ui_.saveAs, &QAction::triggered, this,
            [this] { guarded([&] { FileSaveAsExecute(); }); });
    ui_.exportFolder = new QAction(QStringLiteral("Export Folder..."), this);
    ui_.exportFolder->setObjectName(QStringLiteral("FileExportFolder"));
    connect(ui_.exportFolder, &QAction::triggered, this,
            [this] { guarded([&] { FileExportFolderExecute(); }); });
}

void TViewForm::FileSaveAsExecute() {
    if (slideShow_.running()) {
        slideShow_.stop();
    }
    const std::optional<PairRequest>& request = navigator_.onScreen();
    if (!request) {
        showMessage(this, QMessageBox::Information, QStringLiteral("Duoptic - Save As"),
                    QStringLiteral("The sample pair is on screen: there is no pair file to save."));
        return;
    }
    const EyeShift shift = alignment_.current();
    runSaveAs(this,
              {*request, PairOffset{shift.dx, shift.dy, shift.roll}, anaglyphKind(displayMode())},
              exportChoices_);
}

void TViewForm::FileExportFolderExecute() {
    if (slideShow_.running()) {
        slideShow_.stop();
    }
    if (folderRun_ && folderRun_->running()) {
        return; // one run at a time; its progress is on screen
    }
    if (navigator_.count() == 0) {
        showMessage(this, QMessageBox::Information, QStringLiteral("Duoptic - Export Folder"),
                    QStringLiteral("There are no pairs in the list to export."));
        return;
    }
    // The run reads the user's shifts from the store's file: the last change is to be in it.
    alignment_.flushStore();
    folderRun_.reset();
    ShiftChoice measured;
    measured.align = state_.settings.autoAlign != 0;
    measured.window = state_.settings.autoWindow != 0;
    folderRun_ = runExportFolder(this, navigator_.list(), viewerSides(),
                                 state_.settings.orientJpegPairs != 0, measured,
                                 anaglyphKind(displayMode()), exportChoices_);
}

} // namespace duoptic
