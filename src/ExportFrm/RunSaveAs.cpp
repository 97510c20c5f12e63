#include "ExportFrm/RunSaveAs.h"

#include "ExportFrm/SaveAsForm.h"
#include "base/AccessibleNames.h"
#include "base/Paths.h"
#include "exporting/OutputFiles.h"
#include "exporting/PairExport.h"

#include <QApplication>
#include <QMessageBox>

namespace duoptic {

namespace {

// The wait cursor for as long as it lives: the pair is read and encoded on this thread.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

void runSaveAs(QWidget* parent, const ShownPair& pair, ExportChoices& last) {
    const QString title = QStringLiteral("Save As");
    ExportChoices start = last;
    if (start.folder.empty()) {
        // Until a folder is chosen, beside the pair, as a Save As of a document would.
        start.folder = withoutTrailingSeparator(std::string(folderPart(pair.request.file)));
    }
    const std::optional<SaveAsAnswer> answer =
        askExportChoices(parent, title, start, pair.request.baseName);
    if (!answer) {
        return;
    }
    last = answer->choices;

    const ExportOptions options{answer->choices.format, answer->choices.quality, answer->asStored,
                                pair.anaglyph};
    ShiftChoice shift;
    if (!answer->asStored) {
        shift.shown = pair.shift;
    }
    std::vector<std::string> inputs{pair.request.file};
    if (!pair.request.rightEyeFile.empty()) {
        inputs.push_back(pair.request.rightEyeFile);
    }

    std::vector<ExportedFile> files;
    QString exists;
    {
        const BusyCursor busy;
        files = exportPair(pair.request, shift, options, ExportRun{answer->name});
        try {
            writeOutputFiles(answer->choices.folder, files, Replace::Never, inputs);
            return;
        } catch (const OutputExists& error) {
            exists = QString::fromUtf8(error.what());
        }
    }
    if (showMessage(parent, QMessageBox::Question, QStringLiteral("Duoptic - ") + title,
                    exists + QStringLiteral("\n\nReplace what exists?"),
                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    const BusyCursor busy;
    writeOutputFiles(answer->choices.folder, files, Replace::Existing, inputs);
}

} // namespace duoptic
