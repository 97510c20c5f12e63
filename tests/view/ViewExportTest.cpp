// Save As and Export Folder in the real window, their dialogs worked as a user would.
#include "ExportFrm/SaveAsForm.h"
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"
#include "exporting/ExportFormat.h"
#include "loading/PairLoading.h"
#include "loading/PathPairs.h"

#include "support/ScopedEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <set>

namespace duoptic::test {
namespace {

using Act = std::function<void(QWidget&)>;

class ViewExport : public ::testing::Test {
protected:
    ViewExport() {
        // Each act works the next modal window that comes up, also one inside another's loop.
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && !acts.empty()) {
                const Act act = std::move(acts.front());
                acts.pop_front();
                act(*modal);
            }
        });
        poll.start(10);
    }

    // Fills the export dialog and closes it with Return.
    Act fill(ExportFormat format, const std::string& name, bool asStored = false) {
        return [=, this](QWidget& modal) {
            auto* dialog = qobject_cast<SaveAsForm*>(&modal);
            ASSERT_NE(dialog, nullptr);
            auto* formats = dialog->findChild<QComboBox*>(QStringLiteral("cbFormat"));
            const QString label = QString::fromLatin1(exportFormatName(format)) + QChar(' ');
            formats->setCurrentIndex(formats->findText(label, Qt::MatchStartsWith));
            dialog->findChild<QLineEdit*>(QStringLiteral("edFolder"))
                ->setText(QString::fromStdString(out.path()));
            if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("edName"))) {
                edit->setText(QString::fromStdString(name));
            }
            dialog->findChild<QCheckBox*>(QStringLiteral("cbAsStored"))->setChecked(asStored);
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        };
    }
    static Act press(QMessageBox::StandardButton button) {
        return [button](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            ASSERT_NE(box, nullptr);
            box->button(button)->click();
        };
    }

    // The eyes of the pair a written file belongs to, read back by the viewer's own loading.
    static QSize eyeSize(const std::string& file) {
        const PathPairs found = findPathPairs(file);
        JpegDecoder a, b;
        PairRasters rasters;
        readPairInto(a, b, pairRequest(found.list.entry(found.entry), ViewerSides::Parallel),
                     rasters);
        EXPECT_EQ(rasters.left.width(), rasters.right.width());
        return {rasters.left.width(), rasters.left.height()};
    }

    TempFolder program, pictures, out, data;
    testing::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()};
    ShownWindow window{program.slashed()};
    TViewForm& form = *window.form;
    ReportRecorder reports;
    std::deque<Act> acts;
    QTimer poll;
};

TEST_F(ViewExport, WithTheSamplePairSaveAsAsksNothingAndWritesNothing) {
    bool told = false;
    acts.push_back([&](QWidget& modal) {
        told = qobject_cast<QMessageBox*>(&modal) != nullptr;
        modal.close();
    });
    QTest::keyClick(&form, Qt::Key_S);
    EXPECT_TRUE(told);
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));
}

TEST_F(ViewExport, SKeyWritesThePairAsShownInEveryFormat) {
    std::filesystem::copy(testData("stereo/sugarshack.mpo"), pictures.file("p.mpo"));
    form.openPath(pictures.file("p.mpo"));
    const QSize shown(probe(form).imageWidth(), probe(form).imageHeight());
    constexpr int dx = 6, dy = -4;
    form.moveRightEye(dx, dy);
    // Only the stereo forms name their files as the viewer reads pairs.
    const std::set stereo{ExportFormat::Sbs, ExportFormat::Cross, ExportFormat::Jps,
                          ExportFormat::Mpo, ExportFormat::Pair};
    for (const ExportFormat format : exportFormats()) {
        acts.push_back(fill(format, "saved"));
        QTest::keyClick(&form, Qt::Key_S);
        const std::vector<std::string> files = exportFileNames(format, "saved");
        for (const std::string& file : files) {
            JpegDecoder decoder;
            EXPECT_NO_THROW(decoder.readFile(out.file(file))) << file;
        }
        if (stereo.contains(format)) {
            EXPECT_EQ(eyeSize(out.file(files.front())), shown - QSize(dx, -dy)) << files.front();
        }
    }
    // Again as stored: the files exist, and are replaced once the user says so.
    acts.push_back(fill(ExportFormat::Sbs, "saved", true));
    acts.push_back(press(QMessageBox::Yes));
    QTest::keyClick(&form, Qt::Key_S);
    EXPECT_EQ(eyeSize(out.file(exportFileNames(ExportFormat::Sbs, "saved").front())), shown);
    EXPECT_TRUE(acts.empty());
    EXPECT_TRUE(reports.shown().isEmpty()) << reports.shown().join(' ').toStdString();
}

TEST_F(ViewExport, ExportFolderWritesEveryPairAndReportsWhatItSkipped) {
    for (const char* name : {"a.mpo", "b.mpo"}) {
        std::filesystem::copy(testData("stereo/sugarshack.mpo"), pictures.file(name));
    }
    std::filesystem::copy(testData("stereo/aloeL.jpg"), pictures.file("c_DUL.jpg"));
    std::filesystem::copy(testData("stereo/aloeR.jpg"), pictures.file("c_DUR.jpg"));
    window.listFolder(pictures.path());
    const PairList& list = window.navigator.list();
    ASSERT_EQ(list.count(), 3);
    const auto requestOf = [&](int entry) {
        return pairRequest(list.entry(entry), ViewerSides::Parallel);
    };
    const auto outputOf = [&](int entry) {
        return exportFileNames(ExportFormat::Mpo, requestOf(entry).baseName).front();
    };
    const std::string kept = outputOf(2);
    writeFile(out.file(kept), std::string("not to be replaced"));

    acts.push_back(fill(ExportFormat::Mpo, ""));
    form.FileExportFolderExecute();
    QMessageBox* summary = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT(
        (summary = form.findChild<QMessageBox*>(QStringLiteral("ExportSummary"))) != nullptr,
        30000);
    EXPECT_TRUE(summary->text().contains(QString::fromStdString(kept))) << "names the skipped";
    for (const int entry : {1, 3}) {
        EXPECT_EQ(eyeSize(out.file(outputOf(entry))), eyeSize(requestOf(entry).file));
    }
    EXPECT_TRUE(readFile(out.file(kept)) == "not to be replaced") << "the skipped file stays";
    summary->close();
    EXPECT_TRUE(reports.shown().isEmpty()) << reports.shown().join(' ').toStdString();
}

} // namespace
} // namespace duoptic::test
