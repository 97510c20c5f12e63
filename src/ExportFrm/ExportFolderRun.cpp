#include "ExportFrm/ExportFolderRun.h"

#include "ExportFrm/SaveAsForm.h"
#include "base/AccessibleNames.h"
#include "settings/PairOffsets.h"

#include <QFile>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>

#include <exception>
#include <mutex>
#include <utility>

namespace duoptic {

namespace {

const QString kTitle = QStringLiteral("Export Folder");

// What a screen reader says for the progress' controls.
constexpr AccessibleText kProgressAccessibleTexts[] = {
    {"pbPairs", "Pairs written"},
    {"bnCancel", "Cancel", "Starts no further pair"},
};

// The progress dialog's own controls get object names, so that the table can find them.
void nameProgressParts(QProgressDialog& progress) {
    if (auto* bar = progress.findChild<QProgressBar*>()) {
        bar->setObjectName(QStringLiteral("pbPairs"));
    }
    if (auto* cancel = progress.findChild<QPushButton*>()) {
        cancel->setObjectName(QStringLiteral("bnCancel"));
    }
    setAccessibleTexts(progress, kProgressAccessibleTexts);
}

QString fromBytes(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// The user's store, asked from the job's threads at once.
class SharedStore {
public:
    SharedStore() : store_(PairOffsetStore::open()) {}

    std::optional<PairOffset> find(const PairKey& key) {
        const std::lock_guard lock(mutex_);
        return store_.find(key);
    }

private:
    std::mutex mutex_;
    PairOffsetStore store_;
};

ShiftChoice storedShifts(const ShiftChoice& measured) {
    auto store = std::make_shared<SharedStore>();
    ShiftChoice shift;
    shift.stored = [store](const PairKey& key) { return store->find(key); };
    shift.align = measured.align;
    shift.window = measured.window;
    return shift;
}

// One line per item, the first kShown of them: a list of hundreds helps nobody in a message box.
QString listed(const QStringList& lines) {
    constexpr qsizetype kShown = 12;
    QString text;
    for (qsizetype i = 0; i < std::min(lines.size(), kShown); ++i) {
        text += QStringLiteral("\n    ") + lines[i];
    }
    if (lines.size() > kShown) {
        text += QStringLiteral("\n    ... and %1 more").arg(lines.size() - kShown);
    }
    return text;
}

QString summary(const ExportJob& job, const std::vector<PairOutcome>& outcomes, bool stopped) {
    int written = 0;
    QStringList skipped;
    QStringList failed;
    for (const PairOutcome& outcome : outcomes) {
        const QString name = fromBytes(job.pairs.at(outcome.index).baseName);
        switch (outcome.kind) {
        case PairOutcome::Written:
            ++written;
            break;
        case PairOutcome::Exists: {
            QStringList files;
            for (const std::string& file : outcome.files) {
                files.push_back(fromBytes(file));
            }
            skipped.push_back(files.isEmpty() ? name : files.join(QStringLiteral(", ")));
            break;
        }
        case PairOutcome::Failed:
            failed.push_back(name + QStringLiteral(": ") + QString::fromUtf8(outcome.reason));
            break;
        }
    }
    // By name, whatever order the folder listed them in.
    skipped.sort();
    failed.sort();
    QString text = QStringLiteral("%1 of %2 pairs written into %3.")
                       .arg(written)
                       .arg(job.pairs.size())
                       .arg(fromBytes(job.folder));
    if (!skipped.isEmpty()) {
        text += QStringLiteral("\n\n%1 skipped, their files exist:").arg(skipped.size()) +
                listed(skipped);
    }
    if (!failed.isEmpty()) {
        text += QStringLiteral("\n\n%1 failed:").arg(failed.size()) + listed(failed);
    }
    if (stopped) {
        text += QStringLiteral("\n\nStopped before the end.");
    }
    return text;
}

} // namespace

ExportFolderRun::ExportFolderRun(ExportJob job, QWidget* window)
    : job_(std::move(job)), window_(window) {
    const int count = static_cast<int>(job_.pairs.size());
    progress_ = std::make_unique<QProgressDialog>(
        QStringLiteral("Writing %1 pairs into %2 ...").arg(count).arg(fromBytes(job_.folder)),
        QStringLiteral("Cancel"), 0, count, window);
    progress_->setObjectName(QStringLiteral("ExportProgress"));
    progress_->setWindowTitle(QStringLiteral("Duoptic - ") + kTitle);
    // Not modal: the pairs go on being viewed while they are written.
    progress_->setWindowModality(Qt::NonModal);
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    nameProgressParts(*progress_);
    connect(progress_.get(), &QProgressDialog::canceled, this, [this] { cancel_ = true; });
    progress_->setValue(0);
    progress_->show();

    worker_ = std::thread([this] {
        std::vector<PairOutcome> outcomes;
        QString failure;
        try {
            outcomes = runExportJob(
                job_,
                [this](const PairOutcome&) {
                    QMetaObject::invokeMethod(
                        this, [this] { pairEnded(); }, Qt::QueuedConnection);
                },
                &cancel_);
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        } catch (...) {
            failure = QStringLiteral("The run stopped.");
        }
        QMetaObject::invokeMethod(
            this, [this, outcomes, failure] { runEnded(outcomes, failure); }, Qt::QueuedConnection);
    });
}

ExportFolderRun::~ExportFolderRun() {
    cancel_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
}

void ExportFolderRun::pairEnded() {
    progress_->setValue(++pairsEnded_);
}

void ExportFolderRun::runEnded(const std::vector<PairOutcome>& outcomes, const QString& failure) {
    worker_.join(); // its last act was to send this
    ended_ = true;
    progress_->hide();
    QString text = summary(job_, outcomes, cancel_);
    if (!failure.isEmpty()) {
        text += QStringLiteral("\n\n") + failure;
    }
    // Not waited for: the window goes on while the report is read.
    auto* box =
        new QMessageBox(failure.isEmpty() ? QMessageBox::Information : QMessageBox::Warning,
                        QStringLiteral("Duoptic - ") + kTitle, text, QMessageBox::Ok, window_);
    box->setObjectName(QStringLiteral("ExportSummary"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    describeMessageBox(*box);
    box->open();
}

std::unique_ptr<ExportFolderRun> runExportFolder(QWidget* window, const PairList& pairs,
                                                 ViewerSides sides, bool orientJpegPairs,
                                                 const ShiftChoice& measured, AnaglyphKind anaglyph,
                                                 ExportChoices& last) {
    const std::optional<SaveAsAnswer> answer = askExportChoices(window, kTitle, last, std::nullopt);
    if (!answer) {
        return nullptr;
    }
    last = answer->choices;
    ExportJob job;
    const bool measure = !answer->asStored && (measured.align || measured.window);
    const LoadChoices choices{orientJpegPairs, measure};
    for (int k = 1; k <= pairs.count(); ++k) {
        job.pairs.push_back(pairRequest(pairs.entry(k), sides, choices));
    }
    job.folder = answer->choices.folder;
    job.options = {answer->choices.format, answer->choices.quality, answer->asStored, anaglyph};
    if (!answer->asStored) {
        job.shift = storedShifts(measured);
    }
    return std::make_unique<ExportFolderRun>(std::move(job), window);
}

} // namespace duoptic
