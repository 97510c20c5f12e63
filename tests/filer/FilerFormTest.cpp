#include "FilerFormFixture.h"
#include "FilerFrm/FolderTree.h"
#include "support/NamedCase.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QWheelEvent>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

namespace duoptic {
namespace {

using testing::FilerFormFixture;
using testing::jpegBytes;
using testing::near;

class FilerFormTest : public FilerFormFixture {
protected:
    // The folder of the listing example: three pairs among files that make none.
    void makePairFolder() {
        temp.write("a_DUP.jpg", jpegBytes(Qt::red));
        temp.write("B_DUC.JPG", jpegBytes(Qt::green));
        temp.write("c_DUL.jpg", jpegBytes(Qt::blue));
        temp.write("c_DUR.jpg", jpegBytes(Qt::yellow));
        temp.write("d_DUL.jpg", jpegBytes(Qt::white));
        temp.write("e_dur.jpg", jpegBytes(Qt::white));
        temp.write("f.jpg", jpegBytes(Qt::white));
    }
};

struct Placement {
    const char* name;
    const char* parent;
    QRect geometry;
};

TEST_F(FilerFormTest, EveryControlSitsWhereTheFormPutsIt) {
    open(temp.path());
    const std::vector<Placement> placements = {
        {"DriveComboBox1", "FilerForm", {4, 4, 165, 18}},
        {"DirListBox1", "FilerForm", {4, 24, 165, 157}},
        {"ListBox1", "FilerForm", {172, 4, 197, 213}},
        {"Panel1", "FilerForm", {0, 188, 169, 169}},
        {"Image1", "Panel1", {1, 1, 167, 167}},
        {"rgVmode", "FilerForm", {172, 224, 97, 65}},
        {"rgFMode", "FilerForm", {272, 224, 97, 65}},
        {"GroupBox1", "FilerForm", {172, 292, 97, 65}},
        {"seInterval", "GroupBox1", {8, 16, 53, 21}},
        {"bnTips", "FilerForm", {276, 300, 45, 25}},
        {"bnCancel", "FilerForm", {276, 332, 45, 25}},
        {"bnOpen", "FilerForm", {324, 300, 45, 57}},
    };
    for (const Placement& p : placements) {
        const QWidget* widget = child(p.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(p.parent)) << p.name;
        EXPECT_EQ(widget->geometry(), p.geometry) << p.name;
        EXPECT_TRUE(widget->isVisible()) << p.name;
    }
    EXPECT_EQ(child("Label1")->pos(), QPoint(68, 20));
    EXPECT_EQ(form->size(), QSize(372, 361));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->windowTitle(), "Duoptic - Filer");
    EXPECT_EQ(form->font().pixelSize(), 12);
    EXPECT_EQ(child<QGroupBox>("rgVmode")->title(), "Viewer mode");
    EXPECT_EQ(child<QGroupBox>("rgFMode")->title(), "Fitting mode");
    EXPECT_EQ(child<QGroupBox>("GroupBox1")->title(), "Slide Interval");
    // The file list is data; a hidden widget must never be able to take the focus.
    EXPECT_EQ(form->findChild<QWidget*>("FileListBox1"), nullptr);
    const QList<QPushButton*> buttons = form->findChildren<QPushButton*>();
    EXPECT_EQ(buttons.size(), 3);
    for (const QPushButton* button : buttons) {
        EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
        EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
    }
}

TEST_F(FilerFormTest, ListsThePairsSortedIgnoringCaseAndPreviewsTheRightFile) {
    makePairFolder();
    open(temp.path());
    EXPECT_EQ(texts(names()), QStringList({"a", "B", "c"}));
    ASSERT_EQ(pairs.count(), 3);
    EXPECT_EQ(pairs.entry(1),
              (PairEntry{temp.file("a"), "a", PairKind::Parallel, temp.file("a_DUP.jpg"), {}}));
    EXPECT_EQ(pairs.entry(2),
              (PairEntry{temp.file("B"), "B", PairKind::Crossing, temp.file("B_DUC.JPG"), {}}));
    EXPECT_EQ(pairs.entry(3), (PairEntry{temp.file("c"), "c", PairKind::TwoFiles,
                                         temp.file("c_DUL.jpg"), temp.file("c_DUR.jpg")}));
    EXPECT_TRUE(names()->selectedItems().isEmpty());
    EXPECT_TRUE(child<QLabel>("Image1")->pixmap().isNull());

    const std::vector<QColor> shown = {Qt::red, Qt::green, Qt::blue}; // c shows its left eye
    for (int row = 0; row < 3; ++row) {
        clickRow(names(), row);
        EXPECT_EQ(form->selectedRow(), row);
        EXPECT_EQ(preview().size(), QSize(167, 167));
        EXPECT_TRUE(near(previewCentre(), shown[row])) << row;
    }
    EXPECT_TRUE(reports.shown().empty());
}

// An MPO file is its first JPEG followed by the others; a JPS file is one side-by-side JPEG.
TEST_F(FilerFormTest, ListsMpoAndJpsFilesAmongThePairsAndPreviewsThem) {
    temp.write("b_DUP.jpg", jpegBytes(Qt::red));
    temp.write("m.MPO", jpegBytes(Qt::green) + jpegBytes(Qt::blue, {}, 64, 16));
    temp.write("A.jps", jpegBytes(Qt::yellow, Qt::magenta));
    temp.write(".hidden.mpo", jpegBytes(Qt::white));
    temp.makeFolder("folder.mpo");
    temp.copyIn(testing::testData("stereo/sugarshack.mpo"), "sugar.shack.mpo");
    open(temp.path());
    EXPECT_EQ(texts(names()), QStringList({"A", "b", "m", "sugar.shack"}));
    ASSERT_EQ(pairs.count(), 4);
    EXPECT_EQ(pairs.entry(1),
              (PairEntry{temp.file("A"), "A", PairKind::Crossing, temp.file("A.jps"), {}}));
    EXPECT_EQ(pairs.entry(3),
              (PairEntry{temp.file("m"), "m", PairKind::Multi, temp.file("m.MPO"), {}}));
    EXPECT_EQ(pairs.entry(4).kind, PairKind::Multi);

    clickRow(names(), 0); // the whole side-by-side picture
    EXPECT_TRUE(near(preview().pixel(20, 83), Qt::yellow));
    EXPECT_TRUE(near(preview().pixel(146, 83), Qt::magenta));
    clickRow(names(), 2); // the first image only
    EXPECT_TRUE(near(previewCentre(), Qt::green));
    EXPECT_TRUE(near(preview().pixel(2, 2), Qt::green));
    clickRow(names(), 3); // a 3DS picture
    EXPECT_FALSE(near(previewCentre(), Qt::green, 40));
    EXPECT_TRUE(reports.shown().empty());
}

TEST_F(FilerFormTest, FolderWithoutPairsListsNothing) {
    temp.write("x.jpg", jpegBytes(Qt::red));
    pairs.append({"/old/a", "a", PairKind::Parallel, "/old/a_DUP.jpg", {}});
    open(temp.path());
    EXPECT_EQ(names()->count(), 0);
    EXPECT_EQ(pairs.count(), 0);
}

TEST_F(FilerFormTest, EveryClickDecodesAfreshAndArrowsPreviewToo) {
    makePairFolder();
    open(temp.path());
    QTest::keyClick(names(), Qt::Key_Down); // nothing selected: the first row
    EXPECT_EQ(form->selectedRow(), 0);
    EXPECT_TRUE(near(previewCentre(), Qt::red));
    QTest::keyClick(names(), Qt::Key_Down);
    EXPECT_TRUE(near(previewCentre(), Qt::green));
    QTest::keyClick(names(), Qt::Key_Up);
    EXPECT_TRUE(near(previewCentre(), Qt::red));
    temp.write("a_DUP.jpg", jpegBytes(Qt::magenta));
    clickRow(names(), 0); // the row already selected
    EXPECT_TRUE(near(previewCentre(), Qt::magenta));
}

TEST_F(FilerFormTest, ClickBelowTheRowsKeepsTheSelection) {
    makePairFolder();
    open(temp.path());
    clickRow(names(), 1);
    QTest::mouseClick(names()->viewport(), Qt::LeftButton, {}, {50, 200});
    EXPECT_EQ(form->selectedRow(), 1);
}

struct TypingCase {
    const char* name;
    const char* keys; // "|" pauses longer than the type-ahead gap, "<" is Backspace
    int selected;
};

class TypeAheadRowsTest : public FilerFormFixture,
                          public ::testing::WithParamInterface<TypingCase> {};

TEST_P(TypeAheadRowsTest, SelectsTheFirstRowBeginningWithTheTypedLetters) {
    for (const char* base : {"apple", "Apricot", "banana", "berry", "cherry"}) {
        temp.write(std::string(base) + "_DUP.jpg", jpegBytes(Qt::red));
    }
    open(temp.path());
    for (const char* key = GetParam().keys; *key != '\0'; ++key) {
        if (*key == '|') {
            QTest::qWait(600);
        } else if (*key == '<') {
            QTest::keyClick(names(), Qt::Key_Backspace);
        } else {
            QTest::keyClick(names(), *key);
        }
    }
    EXPECT_EQ(form->selectedRow(), GetParam().selected);
    if (GetParam().selected >= 0) {
        EXPECT_FALSE(preview().isNull());
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, TypeAheadRowsTest,
                         ::testing::Values(TypingCase{"FirstOfSeveral", "b", 2},
                                           TypingCase{"SecondLetterNarrows", "be", 3},
                                           TypingCase{"CaseIgnored", "APR", 1},
                                           TypingCase{"PauseStartsAnew", "b|c", 4},
                                           TypingCase{"UnknownLetterKeepsTheRow", "cx", 4},
                                           TypingCase{"NothingFoundSelectsNothing", "x", -1},
                                           TypingCase{"BackspaceShortens", "apr<", 0},
                                           TypingCase{"BackspaceToEmptyTakesFirst", "c<", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FilerFormTest, BackspaceInAnEmptyListClearsThePreview) {
    makePairFolder();
    temp.makeFolder("empty");
    open(temp.path());
    clickRow(names(), 0);
    doubleClickRow(tree(), treeRowOf("empty"));
    ASSERT_EQ(form->folder(), temp.file("empty"));
    EXPECT_FALSE(preview().isNull()); // a folder change keeps the picture
    QTest::keyClick(names(), Qt::Key_Backspace);
    EXPECT_TRUE(child<QLabel>("Image1")->pixmap().isNull());
}

TEST_F(FilerFormTest, FolderChangeMovesEverythingAndKeepsThePreview) {
    makePairFolder();
    const std::string sub = temp.makeFolder("sub");
    temp.makeFolder("sub/Inner");
    temp.write("sub/x_DUP.jpg", jpegBytes(Qt::cyan));
    open(temp.path());
    clickRow(names(), 0);

    doubleClickRow(tree(), treeRowOf("sub"));
    EXPECT_EQ(form->folder(), sub);
    EXPECT_EQ(currentDirectory(), sub);
    EXPECT_EQ(texts(names()), QStringList({"x"}));
    ASSERT_EQ(pairs.count(), 1);
    EXPECT_EQ(pairs.entry(1).basePath, sub + "/x");
    EXPECT_EQ(form->selectedRow(), -1);
    EXPECT_TRUE(near(previewCentre(), Qt::red));
    // The path down to the folder, the folder highlighted, then its subfolders.
    const QStringList rows = texts(tree());
    EXPECT_EQ(rows.front(), "/");
    EXPECT_EQ(rows.back(), "Inner");
    EXPECT_EQ(tree()->currentRow(), rows.size() - 2);
    EXPECT_EQ(rows[tree()->currentRow()], "sub");

    doubleClickRow(tree(), 0);
    EXPECT_EQ(form->folder(), "/");
    EXPECT_EQ(currentDirectory(), "/");
    EXPECT_TRUE(reports.shown().empty());
}

TEST_F(FilerFormTest, ClicksAndArrowsInTheTreeOnlyMoveTheHighlightEnterOpens) {
    const std::string sub = temp.makeFolder("sub");
    temp.makeFolder("tub");
    open(temp.path());
    const int subRow = treeRowOf("sub");
    clickRow(tree(), subRow);
    EXPECT_EQ(form->folder(), temp.path());
    QTest::keyClick(tree(), Qt::Key_Down);
    QTest::keyClick(tree(), Qt::Key_Up);
    EXPECT_EQ(form->folder(), temp.path());
    EXPECT_EQ(tree()->currentRow(), subRow);
    QTest::keyClick(tree(), Qt::Key_Return);
    EXPECT_EQ(form->folder(), sub);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(FilerFormTest, FolderRemovedMeanwhileReportsAndKeepsEverything) {
    makePairFolder();
    const std::string gone = temp.makeFolder("gone");
    open(temp.path());
    const QStringList treeBefore = texts(tree());
    ASSERT_EQ(rmdir(gone.c_str()), 0);

    doubleClickRow(tree(), treeRowOf("gone"));
    ASSERT_EQ(reports.shown().size(), 1);
    EXPECT_TRUE(reports.shown().front().startsWith(QString::fromStdString(gone + ": ")));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->folder(), temp.path());
    EXPECT_EQ(currentDirectory(), temp.path());
    EXPECT_EQ(texts(tree()), treeBefore);
    EXPECT_EQ(texts(names()), QStringList({"a", "B", "c"}));
    EXPECT_EQ(pairs.count(), 3);
}

TEST_F(FilerFormTest, UnreadablePreviewReportsAndKeepsThePicture) {
    temp.write("a_DUP.jpg", jpegBytes(Qt::red));
    temp.write("b_DUP.jpg", "this is no JPEG file");
    const std::string locked = temp.write("c_DUP.jpg", jpegBytes(Qt::blue));
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    open(temp.path());
    clickRow(names(), 0);
    clickRow(names(), 1);
    EXPECT_EQ(reports.shown().size(), 1);
    EXPECT_EQ(form->selectedRow(), 1);
    EXPECT_TRUE(near(previewCentre(), Qt::red));
    if (access(locked.c_str(), R_OK) != 0) {
        clickRow(names(), 2);
        EXPECT_EQ(reports.shown().size(), 2);
        EXPECT_TRUE(near(previewCentre(), Qt::red));
    }
    EXPECT_TRUE(form->isVisible());
}

TEST_F(FilerFormTest, NamesThatAreNotUtf8AreListedPreviewedAndKeptAsBytes) {
    const std::string odd = "\xff\xfe\x80";
    const std::string folder = temp.makeFolder("\xe9t\xe9");
    temp.write("\xe9t\xe9/" + odd + "_DUP.jpg", jpegBytes(Qt::green));
    open(temp.path());
    doubleClickRow(tree(), tree()->count() - 1);
    EXPECT_EQ(form->folder(), folder);
    ASSERT_EQ(names()->count(), 1);
    EXPECT_FALSE(names()->item(0)->text().isEmpty());
    clickRow(names(), 0);
    EXPECT_TRUE(near(previewCentre(), Qt::green));
    EXPECT_EQ(form->rowName(0), odd);
    EXPECT_EQ(pairs.entry(1).basePath, folder + "/" + odd);
    EXPECT_TRUE(reports.shown().empty());
}

struct KeyCase {
    const char* name;
    const char* focus;
    Qt::Key key;
    bool staysOpen;
    int result; // when closed
};

class FilerKeyTest : public FilerFormFixture, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(FilerKeyTest, EnterAndEscapeDoOnlyWhatTheFocusedControlMeans) {
    temp.write("a_DUP.jpg", jpegBytes(Qt::red));
    int tips = 0;
    open(temp.path(), {"/"}, [&] { ++tips; });
    activate();
    clickRow(names(), 0);
    // A button that once had the focus must not stay behind as the dialog's default.
    for (const char* button : {"bnTips", "bnOpen", "bnCancel"}) {
        child(button)->setFocus();
    }
    QWidget* target = child(GetParam().focus);
    target->setFocus();
    QSignalSpy finished(form.get(), &QDialog::finished);
    QTest::keyClick(target, GetParam().key);
    EXPECT_EQ(form->isVisible(), GetParam().staysOpen);
    if (!GetParam().staysOpen) {
        ASSERT_EQ(finished.size(), 1);
        EXPECT_EQ(finished.front().front().toInt(), GetParam().result);
    } else {
        EXPECT_TRUE(finished.isEmpty());
    }
    EXPECT_EQ(tips, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, FilerKeyTest,
    ::testing::Values(
        KeyCase{"EnterInNameList", "ListBox1", Qt::Key_Return, true, 0},
        KeyCase{"EnterInSpinBox", "seInterval", Qt::Key_Return, true, 0},
        KeyCase{"EnterOnRadio", "rbCrossing", Qt::Key_Return, true, 0},
        KeyCase{"EnterOnDrives", "DriveComboBox1", Qt::Key_Return, true, 0},
        KeyCase{"EnterOnFocusedOpen", "bnOpen", Qt::Key_Return, false, QDialog::Accepted},
        KeyCase{"EscapeInNameList", "ListBox1", Qt::Key_Escape, false, QDialog::Rejected},
        KeyCase{"EscapeInTree", "DirListBox1", Qt::Key_Escape, false, QDialog::Rejected},
        KeyCase{"EscapeInSpinBox", "seInterval", Qt::Key_Escape, false, QDialog::Rejected}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FilerFormTest, TabVisitsTheControlsInFormOrderFromTheNameList) {
    open(temp.path());
    activate();
    EXPECT_EQ(QApplication::focusWidget(), names());
    QStringList visited;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(visited,
              QStringList({"rbParallel", "rbImageWidth", "seInterval", "bnTips", "bnCancel",
                           "bnOpen", "DriveComboBox1", "DirListBox1", "ListBox1"}));
}

struct TabStopCase {
    const char* name;
    bool crossing;
    bool formSize;
    const char* viewerItem;
    const char* fittingItem;
};

class RadioTabStopTest : public FilerFormFixture,
                         public ::testing::WithParamInterface<TabStopCase> {
protected:
    QString focusAfter(Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key);
        return QApplication::focusWidget()->objectName();
    }
};

// Each radio group is one Tab stop, its checked item, from either side; Space there changes
// nothing.
TEST_P(RadioTabStopTest, TabAndBacktabLandOnTheCheckedItem) {
    const TabStopCase& c = GetParam();
    open(temp.path());
    form->setViewerCrossing(c.crossing);
    form->setFormSize(c.formSize);
    activate();
    names()->setFocus();
    EXPECT_EQ(focusAfter(Qt::Key_Tab), c.viewerItem);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(focusAfter(Qt::Key_Tab), c.fittingItem);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(focusAfter(Qt::Key_Tab), "seInterval");
    EXPECT_EQ(focusAfter(Qt::Key_Backtab), c.fittingItem);
    EXPECT_EQ(focusAfter(Qt::Key_Backtab), c.viewerItem);
    EXPECT_EQ(focusAfter(Qt::Key_Backtab), "ListBox1");
    EXPECT_EQ(form->viewerCrossing(), c.crossing);
    EXPECT_EQ(form->formSize(), c.formSize);
}

INSTANTIATE_TEST_SUITE_P(
    Options, RadioTabStopTest,
    ::testing::Values(TabStopCase{"FirstItems", false, false, "rbParallel", "rbImageWidth"},
                      TabStopCase{"SecondItems", true, true, "rbCrossing", "rbFormSize"},
                      TabStopCase{"Mixed", true, false, "rbCrossing", "rbImageWidth"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FilerFormTest, TabStopFollowsAnOptionChosenWithTheArrowsOrAPress) {
    open(temp.path());
    activate();
    auto* crossing = child<QRadioButton>("rbCrossing");
    auto* parallel = child<QRadioButton>("rbParallel");
    parallel->setFocus();
    QTest::keyClick(parallel, Qt::Key_Down); // moves to "Crossing" and checks it
    ASSERT_TRUE(crossing->isChecked());
    names()->setFocus();
    QTest::keyClick(names(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), crossing);

    // A press on the other item that is dragged off it focuses it without checking it.
    QTest::mousePress(parallel, Qt::LeftButton, {}, {5, 5});
    QTest::mouseRelease(parallel, Qt::LeftButton, {}, {200, 200});
    ASSERT_TRUE(crossing->isChecked());
    names()->setFocus();
    QTest::keyClick(names(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), crossing);
}

struct DeselectCase {
    const char* name;
    std::function<void(FilerFormFixture&, QListWidget*)> act;
};

class NameListSelectionTest : public FilerFormFixture,
                              public ::testing::WithParamInterface<DeselectCase> {};

// Open returns the selected row, and the preview shows it: Ctrl must not take the last selected
// row away.
TEST_P(NameListSelectionTest, CtrlKeepsTheSelectedRow) {
    temp.write("a_DUP.jpg", jpegBytes(Qt::red));
    temp.write("b_DUP.jpg", jpegBytes(Qt::green));
    open(temp.path());
    activate();
    clickRow(names(), 1);
    ASSERT_EQ(form->selectedRow(), 1);
    GetParam().act(*this, names());
    EXPECT_EQ(form->selectedRow(), 1);
    EXPECT_EQ(names()->selectedItems().size(), 1);
    EXPECT_TRUE(near(previewCentre(), Qt::green));
}

INSTANTIATE_TEST_SUITE_P(
    Ctrl, NameListSelectionTest,
    ::testing::Values(DeselectCase{"CtrlClick",
                                   [](FilerFormFixture&, QListWidget* list) {
                                       QTest::mouseClick(
                                           list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                           list->visualItemRect(list->item(1)).center());
                                   }},
                      DeselectCase{"CtrlSpace",
                                   [](FilerFormFixture&, QListWidget* list) {
                                       list->setFocus();
                                       QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
                                   }},
                      DeselectCase{"CtrlUpThenCtrlSpaceTwice",
                                   [](FilerFormFixture&, QListWidget* list) {
                                       list->setFocus();
                                       QTest::keyClick(list, Qt::Key_Up, Qt::ControlModifier);
                                       QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
                                       QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
                                       QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
                                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FilerFormTest, TipsButtonRunsTheTipsCommand) {
    int shown = 0;
    open(temp.path(), {"/"}, [&] { ++shown; });
    QTest::mouseClick(child("bnTips"), Qt::LeftButton);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(FilerFormTest, DriveSelectorReturnsToTheFolderLastShownOnEachDrive) {
    const std::string drive = temp.makeFolder("drive");
    const std::string deep = temp.makeFolder("drive/deep");
    const std::string home = temp.makeFolder("home");
    ASSERT_EQ(chdir(home.c_str()), 0);
    open(deep, {"/", drive});
    ASSERT_EQ(drivesBox()->count(), 2);
    EXPECT_EQ(drivesBox()->currentText(), QString::fromStdString(drive));

    const auto pick = [&](int index) {
        drivesBox()->setCurrentIndex(index);
        emit drivesBox()->activated(index);
    };
    pick(0);
    EXPECT_EQ(form->folder(), home); // shown on "/" when the dialog was made
    pick(1);
    EXPECT_EQ(form->folder(), deep);
    pick(1); // the drive already shown
    EXPECT_EQ(form->folder(), deep);

    pick(0);
    ASSERT_EQ(rmdir(deep.c_str()), 0);
    pick(1);
    EXPECT_EQ(reports.shown().size(), 1);
    EXPECT_EQ(form->folder(), home);
    EXPECT_EQ(drivesBox()->currentIndex(), 1); // the drive picked, though it failed
    pick(1);
    EXPECT_EQ(form->folder(), drive); // the drive's root, now the folder has gone
    EXPECT_EQ(drivesBox()->currentIndex(), 1);
}

struct SpinCase {
    const char* name;
    int start;
    const char* typed; // after selecting all; "^" is Up, "v" is Down
    QString textTyped;
    int valueTyped;
    QString textLeft; // after the focus has left
};

class IntervalTest : public FilerFormFixture, public ::testing::WithParamInterface<SpinCase> {
protected:
    // "^" "v": Up, Down; "#": Ctrl+Up; ">" "<": PageUp, PageDown; "}" "{": a wheel notch up,
    // down; "]": Ctrl + a wheel notch up; anything else is typed.
    static void stepOrType(QSpinBox* spin, char key) {
        switch (key) {
        case '^':
            return QTest::keyClick(spin, Qt::Key_Up);
        case 'v':
            return QTest::keyClick(spin, Qt::Key_Down);
        case '#':
            return QTest::keyClick(spin, Qt::Key_Up, Qt::ControlModifier);
        case '>':
            return QTest::keyClick(spin, Qt::Key_PageUp);
        case '<':
            return QTest::keyClick(spin, Qt::Key_PageDown);
        case '}':
            return wheel(spin, 120, Qt::NoModifier);
        case '{':
            return wheel(spin, -120, Qt::NoModifier);
        case ']':
            return wheel(spin, 120, Qt::ControlModifier);
        default:
            return QTest::keyClick(spin, key);
        }
    }

    static void wheel(QSpinBox* spin, int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF centre = QRectF(spin->rect()).center();
        QWheelEvent event(centre, spin->mapToGlobal(centre), {}, {0, delta}, Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(spin, &event);
    }
};

TEST_P(IntervalTest, TypedTextCountsAsAWholeNumberAndIsLimitedOnLeaving) {
    open(temp.path());
    activate();
    form->setSlideInterval(GetParam().start);
    QSpinBox* spin = interval();
    spin->setFocus();
    spin->selectAll();
    for (const char* key = GetParam().typed; *key != '\0'; ++key) {
        stepOrType(spin, *key);
    }
    EXPECT_EQ(spin->text(), GetParam().textTyped);
    EXPECT_EQ(form->slideInterval(), GetParam().valueTyped);
    names()->setFocus();
    EXPECT_EQ(spin->text(), GetParam().textLeft);
    EXPECT_EQ(form->slideInterval(), GetParam().valueTyped);
}

INSTANTIATE_TEST_SUITE_P(
    Typing, IntervalTest,
    ::testing::Values(SpinCase{"AboveMaximum", 10, "45", "45", 30, "30"},
                      SpinCase{"Negative", 10, "-3", "-3", 1, "1"},
                      SpinCase{"SignedInRange", 10, "+7", "+7", 7, "+7"},
                      SpinCase{"LeadingZeroStays", 10, "05", "05", 5, "05"},
                      SpinCase{"DecimalCountsAsOne", 10, "4.", "4.", 1, "4."},
                      SpinCase{"TwoCharactersAtMost", 10, "123", "12", 12, "12"},
                      SpinCase{"LettersRefused", 10, "1a ", "1", 1, "1"},
                      SpinCase{"UpStopsAtMaximum", 30, "^", "30", 30, "30"},
                      SpinCase{"DownSteps", 10, "v", "9", 9, "9"},
                      SpinCase{"UpFromDecimal", 10, "4.^", "2", 2, "2"},
                      SpinCase{"UpFromAboveMaximum", 10, "45^", "30", 30, "30"},
                      SpinCase{"UpFromTypedZero", 10, "0^", "1", 1, "1"},
                      SpinCase{"DownFromAboveMaximum", 10, "45v", "30", 30, "30"},
                      SpinCase{"UpFromTypedNegative", 10, "-5^", "1", 1, "1"},
                      SpinCase{"CtrlUpIsOneStep", 10, "#", "11", 11, "11"},
                      SpinCase{"PageUpIsOneStep", 10, ">", "11", 11, "11"},
                      SpinCase{"PageDownIsOneStep", 10, "<", "9", 9, "9"},
                      SpinCase{"PageUpFromTypedZero", 10, "0>", "1", 1, "1"},
                      SpinCase{"PageDownFromAboveMaximum", 10, "45<", "30", 30, "30"},
                      SpinCase{"WheelUpIsOneStep", 10, "}", "11", 11, "11"},
                      SpinCase{"CtrlWheelIsOneStep", 10, "]", "11", 11, "11"},
                      SpinCase{"WheelUpFromTypedZero", 10, "0}", "1", 1, "1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FilerFormTest, HeldSpinButtonRepeatsOnlyAfterADelay) {
    open(temp.path());
    form->setSlideInterval(1);
    QSpinBox* spin = interval();
    const QStyle* style = spin->style();
    EXPECT_EQ(style->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold, nullptr, spin), 400);
    EXPECT_EQ(style->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatRate, nullptr, spin), 100);
    const QPoint upButton(spin->width() - 6, 5);
    QTest::mousePress(spin, Qt::LeftButton, {}, upButton);
    QTest::qWait(300);
    EXPECT_EQ(spin->value(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(spin->value() >= 6, 5000);
    QTest::mouseRelease(spin, Qt::LeftButton, {}, upButton);
    const int released = spin->value();
    QTest::qWait(300);
    EXPECT_EQ(spin->value(), released);
}

} // namespace
} // namespace duoptic
