#include "ViewFrm/RunFiler.h"
#include "FilerFrm/FilerForm.h"
#include "FilerFrm/FolderTree.h"
#include "FilerTestSupport.h"
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"
#include "base/Error.h"
#include "support/CurrentDirectoryGuard.h"
#include "support/ReportRecorder.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <set>

#include "support/NamedCase.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

using testing::CurrentDirectoryGuard;
using testing::jpegBytes;
using testing::ReportRecorder;
using testing::TempFolder;

enum class Close { Open, Cancel, Escape };

class RunFilerTest : public ::testing::Test {
protected:
    RunFilerTest() {
        state.programFolder = "/program/";
        state.settings.viewerMode = "(Parallel)";
        state.settings.fittingMode = 0;
        state.settings.slideInterval = 10;
        state.settings.latestPath = temp.slashed();
    }

    // Runs the Filer; `act` works the open dialog, then `close` ends it.
    std::optional<int> run(Close close, const std::function<void(TFilerForm&)>& act = {}) {
        bool acted = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TFilerForm*>(QApplication::activeModalWidget());
            if (form == nullptr) {
                ADD_FAILURE() << "no Filer on screen";
                return;
            }
            acted = true;
            if (act) {
                act(*form);
            }
            closeWith(*form, close);
        });
        handedBack = runFiler(nullptr, state, pairs, [] {});
        EXPECT_TRUE(acted);
        return handedBack.entry;
    }

    static void closeWith(TFilerForm& form, Close close) {
        switch (close) {
        case Close::Open:
            QTest::mouseClick(form.findChild<QWidget*>("bnOpen"), Qt::LeftButton);
            break;
        case Close::Cancel:
            QTest::mouseClick(form.findChild<QWidget*>("bnCancel"), Qt::LeftButton);
            break;
        case Close::Escape:
            QTest::keyClick(form.findChild<QWidget*>("ListBox1"), Qt::Key_Escape);
            break;
        }
        if (form.isVisible()) {
            ADD_FAILURE() << "the Filer did not close";
            form.reject();
        }
    }

    static void clickRow(TFilerForm& form, int row) {
        auto* list = form.findChild<QListWidget*>("ListBox1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

    static void click(TFilerForm& form, const char* name) {
        QTest::mouseClick(form.findChild<QWidget*>(name), Qt::LeftButton, {}, {5, 5});
    }

    void makePairFolder() {
        temp.write("a_DUP.jpg", jpegBytes(Qt::red));
        temp.write("B_DUC.JPG", jpegBytes(Qt::green));
        temp.write("c_DUL.jpg", jpegBytes(Qt::blue));
        temp.write("c_DUR.jpg", jpegBytes(Qt::yellow));
    }

    CurrentDirectoryGuard cwd;
    TempFolder temp;
    ReportRecorder reports;
    ProgramState state;
    PairList pairs;                    // the list the Filer starts from
    PairNavigator::Listing handedBack; // what the last run gave back
};

TEST_F(RunFilerTest, OpenWithNoRowStoresTheOptionsAndChoosesNoEntry) {
    makePairFolder();
    const std::optional<int> result = run(Close::Open, [](TFilerForm& form) {
        click(form, "rbCrossing");
        click(form, "rbFormSize");
        auto* spin = form.findChild<QSpinBox*>("seInterval");
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, "7");
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(state.settings.viewerMode, "(Crossing)");
    EXPECT_EQ(state.settings.fittingMode, 10);
    EXPECT_EQ(state.settings.slideInterval, 7);
    EXPECT_EQ(state.settings.latestPath, temp.path()); // as the platform reports it: no "/"
    EXPECT_EQ(handedBack.list.count(), 3);
}

TEST_F(RunFilerTest, OpenWithTheThirdRowReturnsItsEntry) {
    makePairFolder();
    EXPECT_EQ(run(Close::Open, [](TFilerForm& form) { clickRow(form, 2); }), 3);
    EXPECT_EQ(handedBack.list.entry(3).baseName, "c");
    EXPECT_EQ(currentDirectory(), temp.path());
}

// Rows that share a base name, with files that differ only in letter case or in kind: Open in
// the main window shows the pair that the chosen row previews.
TEST_F(RunFilerTest, OpenShowsThePairTheRowPreviews) {
    const std::vector<std::vector<const char*>> layouts = {
        {"x_DUC.jpg", "x.jps"},
        {"y_DUP.jpg", "y_dup.JPG"},
        {"b_DUL.jpg", "b_dul.JPG", "b_DUR.jpg", "b_dur.JPG"}};
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    for (const auto& files : layouts) {
        TempFolder folder;
        for (std::size_t k = 0; k < files.size(); ++k) {
            folder.write(files[k], jpegBytes(colours[k]));
        }
        TempFolder program;
        test::ShownWindow window(program.slashed());
        std::set<QRgb> seen;
        for (const int row : {0, 1}) {
            window.state.settings.latestPath = folder.path();
            QRgb previewed = 0;
            QTimer::singleShot(0, [&] {
                auto* form = qobject_cast<TFilerForm*>(QApplication::activeModalWidget());
                ASSERT_NE(form, nullptr);
                clickRow(*form, row);
                previewed = form->findChild<QLabel*>("Image1")->pixmap().toImage().pixel(83, 83);
                closeWith(*form, Close::Open);
            });
            window.form->FileOpenExecute();
            const QRgb shown = probe(*window.form).rasters().left.pixel(1, 1);
            EXPECT_TRUE(testing::near(shown, QColor(previewed))) << files[0] << " row " << row;
            seen.insert(shown);
        }
        EXPECT_EQ(seen.size(), 2u) << files[0]; // the two rows are two different pairs
    }
    EXPECT_TRUE(reports.shown().empty());
}

TEST_F(RunFilerTest, CancelAfterAFolderChangeKeepsTheSettingsButNotTheList) {
    makePairFolder();
    const std::string sub = temp.makeFolder("sub");
    temp.write("sub/x_DUP.jpg", jpegBytes(Qt::cyan));
    const SettingsRecord before = state.settings;
    const std::optional<int> result = run(Close::Cancel, [](TFilerForm& form) {
        click(form, "rbCrossing");
        auto* tree = form.findChild<QListWidget*>("DirListBox1");
        const QListWidgetItem* row = tree->findItems("sub", Qt::MatchExactly).value(0);
        ASSERT_NE(row, nullptr);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {},
                           tree->visualItemRect(row).center());
        clickRow(form, 0);
    });
    EXPECT_EQ(result, std::nullopt);
    EXPECT_EQ(state.settings.viewerMode, before.viewerMode);
    EXPECT_EQ(state.settings.fittingMode, before.fittingMode);
    EXPECT_EQ(state.settings.slideInterval, before.slideInterval);
    EXPECT_EQ(state.settings.latestPath, before.latestPath);
    ASSERT_EQ(handedBack.list.count(), 1);
    EXPECT_EQ(handedBack.list.entry(1).basePath, sub + "/x");
    EXPECT_EQ(currentDirectory(), sub);
}

struct OptionsCase {
    const char* name;
    std::string viewerMode;
    int fittingMode;
    int interval;
    bool showsCrossing;
    bool showsFormSize;
    int shownInterval;
    std::string storedViewerMode; // on Open, untouched
    int storedFittingMode;
};

class RunFilerOptionsTest : public RunFilerTest,
                            public ::testing::WithParamInterface<OptionsCase> {};

TEST_P(RunFilerOptionsTest, OpenStoresWhatIsShownCancelKeepsWhatWasStored) {
    const OptionsCase& c = GetParam();
    for (const Close close : {Close::Cancel, Close::Escape, Close::Open}) {
        state.settings.viewerMode = c.viewerMode;
        state.settings.fittingMode = c.fittingMode;
        state.settings.slideInterval = c.interval;
        const std::optional<int> result = run(close, [&](TFilerForm& form) {
            EXPECT_EQ(form.findChild<QRadioButton*>("rbCrossing")->isChecked(), c.showsCrossing);
            EXPECT_EQ(form.findChild<QRadioButton*>("rbFormSize")->isChecked(), c.showsFormSize);
            EXPECT_EQ(form.findChild<QSpinBox*>("seInterval")->text(),
                      QString::number(c.shownInterval));
        });
        const bool opened = close == Close::Open;
        EXPECT_EQ(result.has_value(), opened);
        EXPECT_EQ(state.settings.viewerMode, opened ? c.storedViewerMode : c.viewerMode);
        EXPECT_EQ(state.settings.fittingMode, opened ? c.storedFittingMode : c.fittingMode);
        EXPECT_EQ(state.settings.slideInterval, opened ? c.shownInterval : c.interval);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Stored, RunFilerOptionsTest,
    ::testing::Values(
        OptionsCase{"Defaults", "(Parallel)", 0, 10, false, false, 10, "(Parallel)", 0},
        OptionsCase{"Crossing", "(Crossing)", 0, 10, true, false, 10, "(Crossing)", 0},
        OptionsCase{"CrossingInOtherCase", "(crossing)", 0, 10, false, false, 10, "(Parallel)", 0},
        OptionsCase{"UnknownMode", "3D", 0, 10, false, false, 10, "(Parallel)", 0},
        OptionsCase{"FittingModeOne", "(Parallel)", 1, 10, false, true, 10, "(Parallel)", 10},
        OptionsCase{"FittingModeTen", "(Parallel)", 10, 10, false, true, 10, "(Parallel)", 10},
        OptionsCase{"IntervalAboveRange", "(Parallel)", 0, 45, false, false, 30, "(Parallel)", 0},
        OptionsCase{"IntervalZero", "(Parallel)", 0, 0, false, false, 1, "(Parallel)", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunFilerTest, RowWithAnEmptyBaseNameIsAnEntryAllTheSame) {
    temp.write("_DUC.jpg", jpegBytes(Qt::red));
    const std::optional<int> result = run(Close::Open, [](TFilerForm& form) {
        auto* list = form.findChild<QListWidget*>("ListBox1");
        ASSERT_EQ(list->count(), 1);
        EXPECT_EQ(list->item(0)->text(), "");
        clickRow(form, 0);
    });
    EXPECT_EQ(result, 1);
}

TEST_F(RunFilerTest, RootFolderIsStoredAsTheRoot) {
    state.settings.latestPath = "/";
    EXPECT_TRUE(run(Close::Open));
    EXPECT_EQ(state.settings.latestPath, "/");
    EXPECT_EQ(currentDirectory(), "/");
}

TEST_F(RunFilerTest, ListsTheLastFolderEvenWhenItIsAlreadyCurrent) {
    makePairFolder();
    changeCurrentDirectory(temp.path());
    pairs.append({"/elsewhere/z", "z", PairKind::Parallel, "/elsewhere/z_DUP.jpg", {}});
    EXPECT_FALSE(run(Close::Cancel));
    ASSERT_EQ(handedBack.list.count(), 3);
    EXPECT_EQ(handedBack.list.entry(1).baseName, "a");
}

TEST_F(RunFilerTest, LastFolderThatCannotBeEnteredFailsBeforeAnythingIsShown) {
    const std::string before = currentDirectory();
    state.settings.latestPath = temp.file("missing");
    bool shown = false;
    EXPECT_THROW(runFiler(nullptr, state, pairs, [&] { shown = true; }), Error);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(currentDirectory(), before);
    EXPECT_FALSE(shown);
}

TEST_F(RunFilerTest, NameThatIsNotUtf8ComesBackAsItsBytes) {
    temp.write("\xff\xfe_DUP.jpg", jpegBytes(Qt::red));
    EXPECT_EQ(run(Close::Open, [](TFilerForm& form) { clickRow(form, 0); }), 1);
    EXPECT_EQ(handedBack.list.entry(1).baseName, "\xff\xfe");
    EXPECT_TRUE(reports.shown().empty());
}

} // namespace
} // namespace duoptic
