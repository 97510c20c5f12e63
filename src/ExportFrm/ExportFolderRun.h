#pragma once

#include "ExportFrm/ExportChoices.h"
#include "catalogue/PairList.h"
#include "exporting/ExportBatch.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class QProgressDialog;
class QWidget;

namespace duoptic {

// Writes the pairs of a job on a thread of its own while the window goes on being used: a
// progress dialog beside it counts the pairs as they end and its Cancel stops the run;
// at the end one message box over the window says what was written, skipped and why, and what
// failed and why.
class ExportFolderRun : public QObject {
    Q_OBJECT

public:
    ExportFolderRun(ExportJob job, QWidget* window);
    // Stops what is under way (leaving nothing half-written) and waits for the thread.
    ~ExportFolderRun() override;
    ExportFolderRun(const ExportFolderRun&) = delete;
    ExportFolderRun& operator=(const ExportFolderRun&) = delete;

    bool running() const { return !ended_; }

private:
    void pairEnded();
    void runEnded(const std::vector<PairOutcome>& outcomes, const QString& failure);

    ExportJob job_;
    QWidget* window_;
    std::atomic<bool> cancel_{false};
    std::unique_ptr<QProgressDialog> progress_;
    int pairsEnded_ = 0;
    bool ended_ = false;
    std::thread worker_; // last: it starts once everything it uses is made
};

// The Export Folder command: asks over `window` how and where to write every pair of `pairs`
// (starting from `last`, which keeps the answer) and starts writing them, anaglyphs mixed as
// `anaglyph` says. Shifts come from the user's store of pair offsets, then from the pair's
// measurements that `measured` turns on (its stored shifts are not looked at). Nothing on Cancel.
std::unique_ptr<ExportFolderRun> runExportFolder(QWidget* window, const PairList& pairs,
                                                 ViewerSides sides, bool orientJpegPairs,
                                                 const ShiftChoice& measured, AnaglyphKind anaglyph,
                                                 ExportChoices& last);

} // namespace duoptic
