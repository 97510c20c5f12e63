// Keys, wheel, menu, center-border prompt and slide show, through the real window.
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include "ViewFrm/DroppedPath.h"
#include "ViewFrm/SlideTimer.h"
#include "base/DialogFont.h"
#include "base/Error.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace duoptic::test {
namespace {

class ViewInput : public ::testing::Test {
protected:
    void SetUp() override { window = std::make_unique<ShownWindow>(program.slashed()); }
    TViewForm& form() { return *window->form; }
    QScrollBar* bar(const char* name) {
        return form().findChild<QScrollBar*>(QString::fromLatin1(name));
    }
    QSlider* zoom() { return form().findChild<QSlider*>(QStringLiteral("TrackBar1")); }

    TempFolder program;
    std::unique_ptr<ShownWindow> window;
};

struct KeyRow {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int horizontalBefore, verticalBefore, zoomBefore;
    int horizontalAfter, verticalAfter, zoomAfter;
};

class ViewKeys : public ViewInput, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(ViewKeys, KeyPressesReachTheKeyMapWhateverHasTheFocus) {
    const KeyRow& row = GetParam();
    bar("ScrollBarH")->setValue(row.horizontalBefore);
    bar("ScrollBarV")->setValue(row.verticalBefore);
    zoom()->setValue(row.zoomBefore);
    // Sent to a child: the window sees it first and consumes it.
    QTest::keyClick(zoom(), row.key, row.modifiers);
    EXPECT_EQ(probe(form()).horizontalPosition(), row.horizontalAfter);
    EXPECT_EQ(probe(form()).verticalPosition(), row.verticalAfter);
    EXPECT_EQ(probe(form()).zoomPosition(), row.zoomAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Map, ViewKeys,
    ::testing::Values(
        KeyRow{"LeftAtOne", Qt::Key_Left, {}, 1, 50, 0, 0, 50, 0},
        KeyRow{"LeftAtZero", Qt::Key_Left, {}, 0, 50, 0, 0, 50, 0},
        KeyRow{"Right", Qt::Key_Right, {}, 50, 50, 0, 52, 50, 0},
        KeyRow{"RightAt99", Qt::Key_Right, {}, 99, 50, 0, 100, 50, 0},
        KeyRow{"Up", Qt::Key_Up, {}, 50, 1, 0, 50, 0, 0},
        KeyRow{"DownAt99", Qt::Key_Down, {}, 50, 99, 0, 50, 100, 0},
        KeyRow{"ShiftDown", Qt::Key_Down, Qt::ShiftModifier, 50, 10, 0, 50, 12, 0},
        KeyRow{"KeypadPlusAt95", Qt::Key_Plus, Qt::KeypadModifier, 50, 50, 95, 50, 50, 100},
        KeyRow{"KeypadPlusAt100", Qt::Key_Plus, Qt::KeypadModifier, 50, 50, 100, 50, 50, 100},
        KeyRow{"KeypadMinus", Qt::Key_Minus, Qt::KeypadModifier, 50, 50, 30, 50, 50, 20},
        KeyRow{"MainKeyboardPlus", Qt::Key_Plus, {}, 50, 50, 30, 50, 50, 30},
        KeyRow{"MainKeyboardMinus", Qt::Key_Minus, {}, 50, 50, 30, 50, 50, 30},
        KeyRow{"PageUpIsConsumed", Qt::Key_PageUp, {}, 50, 50, 30, 50, 50, 30}),
    [](const auto& info) { return std::string(info.param.name); });

struct WheelRow {
    const char* name;
    int delta;
    int zoomAfter; // from 50
    // With Alt held, Qt delivers a turn of the wheel as a horizontal one.
    enum { Turn, AltTurn, Sideways } axis = Turn;
};

class ViewWheel : public ViewInput, public ::testing::WithParamInterface<WheelRow> {};

TEST_P(ViewWheel, WheelZoomsWhereverThePointerIs) {
    zoom()->setValue(50);
    const QPoint at(5, 5);
    const int delta = GetParam().delta;
    const QPoint angle = GetParam().axis != WheelRow::Turn ? QPoint(delta, 0) : QPoint(0, delta);
    QWheelEvent event(at, zoom()->mapToGlobal(at), QPoint(), angle, Qt::NoButton,
                      GetParam().axis == WheelRow::AltTurn ? Qt::AltModifier : Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(zoom(), &event);
    EXPECT_EQ(probe(form()).zoomPosition(), GetParam().zoomAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Deltas, ViewWheel,
    ::testing::Values(WheelRow{"Plus120", 120, 54}, WheelRow{"Minus120", -120, 46},
                      WheelRow{"Plus60", 60, 52}, WheelRow{"Plus29", 29, 50},
                      WheelRow{"Minus29", -29, 50}, WheelRow{"Minus45", -45, 49},
                      WheelRow{"AltPlus120", 120, 54, WheelRow::AltTurn},
                      WheelRow{"AltMinus45", -45, 49, WheelRow::AltTurn},
                      WheelRow{"SidewaysPlus120", 120, 50, WheelRow::Sideways}),
    [](const auto& info) { return std::string(info.param.name); });

struct BorderRow {
    const char* name;
    int stored;
    std::optional<QString> answer; // nothing: cancelled
    int expected;
};

class ViewBorder : public ViewInput, public ::testing::WithParamInterface<BorderRow> {};

TEST_P(ViewBorder, AnswersAreConvertedAndClamped) {
    const BorderRow& row = GetParam();
    window->state.settings.borderWidth = row.stored;
    QString shownPreset;
    form().promptCenterBorder = [&](const QString&, const QString& preset) {
        shownPreset = preset;
        return row.answer;
    };
    form().ViewBorderExecute();
    EXPECT_EQ(shownPreset, QString::number(row.stored));
    EXPECT_EQ(window->state.settings.borderWidth, row.expected);
}

INSTANTIATE_TEST_SUITE_P(Answers, ViewBorder,
                         ::testing::Values(BorderRow{"Twelve", 4, QStringLiteral("12"), 12},
                                           BorderRow{"Zero", 4, QStringLiteral("0"), 1},
                                           BorderRow{"Negative", 4, QStringLiteral("-5"), 1},
                                           BorderRow{"TooLarge", 4, QStringLiteral("500"), 200},
                                           BorderRow{"Letters", 4, QStringLiteral("abc"), 1},
                                           BorderRow{"Empty", 4, QString(), 1},
                                           BorderRow{"LeadingBlank", 4, QStringLiteral(" 7"), 7},
                                           BorderRow{"TrailingBlank", 4, QStringLiteral("7 "), 1},
                                           BorderRow{"Dollar", 4, QStringLiteral("$10"), 16},
                                           BorderRow{"ZeroX", 4, QStringLiteral("0x10"), 16},
                                           BorderRow{"SpaceSignZeroX", 4, QStringLiteral(" +0x1f"),
                                                     31},
                                           BorderRow{"CancelKeeps", 9, std::nullopt, 9},
                                           BorderRow{"CancelClampsHigh", 500, std::nullopt, 200},
                                           BorderRow{"CancelClampsLow", -3, std::nullopt, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewInput, PopupMenuHasItsEntriesInOrder) {
    QStringList entries;
    for (QAction* entry : probe(form()).popupMenu()->actions()) {
        entries << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    }
    EXPECT_EQ(entries.join(QLatin1Char('|')),
              QStringLiteral("Open|Reverse|Zoom In|Zoom Out|-|Slide Show|Next|-|Center Border|"
                             "Full Screen|Actual Size|Display|Automatic Alignment|"
                             "Crop to Common Area|Reset Alignment|Automatic Window|Depth|"
                             "Camera Data|-|Save As...|Export Folder...|Move to Trash...|Tips|-|"
                             "Exit"));
}

TEST_F(ViewInput, RightClickOpensTheMenuOnlyOverTheImages) {
    for (QWidget* elsewhere :
         {static_cast<QWidget*>(bar("ScrollBarH")), static_cast<QWidget*>(bar("ScrollBarV")),
          static_cast<QWidget*>(zoom())}) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                elsewhere->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(elsewhere, &event);
        QTest::mouseClick(elsewhere, Qt::RightButton, {}, QPoint(5, 5));
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr)
            << elsewhere->objectName().toStdString();
    }
    QTest::mouseClick(form().findChild<QWidget*>(QStringLiteral("PaintBox2")), Qt::RightButton, {},
                      QPoint(30, 30));
    EXPECT_TRUE(probe(form()).popupMenu()->isVisible());
    probe(form()).popupMenu()->close();
}

TEST_F(ViewInput, SlideShowStartsAndStopsInThreeSteps) {
    window->state.settings.slideInterval = 3;
    QAction* toggle = probe(form()).command(ViewCommand::ViewSlideShow);
    toggle->trigger();
    EXPECT_TRUE(probe(form()).slideShowRunning());
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(probe(form()).slideTimer().enabled());
    EXPECT_EQ(probe(form()).slideTimer().interval(), 3000);
    EXPECT_TRUE(probe(form()).slideTimer().ticking());

    QTest::keyClick(&form(), Qt::Key_Escape);
    EXPECT_FALSE(probe(form()).slideShowRunning());
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(probe(form()).slideTimer().interval(), 0);
    EXPECT_FALSE(probe(form()).slideTimer().ticking());
}

class ViewSilentInterval : public ViewInput, public ::testing::WithParamInterface<int> {};

TEST_P(ViewSilentInterval, ChecksButNeverTicks) {
    window->state.settings.slideInterval = GetParam();
    form().ViewSlideShowExecute();
    EXPECT_TRUE(probe(form()).command(ViewCommand::ViewSlideShow)->isChecked());
    EXPECT_FALSE(probe(form()).slideTimer().ticking());
    form().ViewSlideShowExecute();
    EXPECT_FALSE(probe(form()).command(ViewCommand::ViewSlideShow)->isChecked());
}

// 115964117 s wraps to 8 ms as a 32-bit product of milliseconds.
INSTANTIATE_TEST_SUITE_P(Intervals, ViewSilentInterval,
                         ::testing::Values(0, -5, 115964117, 2147484, INT_MIN));

TEST(SlideInterval, MillisecondsWithinWhatATimerHolds) {
    EXPECT_EQ(slideIntervalMilliseconds(1), 1000);
    EXPECT_EQ(slideIntervalMilliseconds(30), 30000);
    EXPECT_EQ(slideIntervalMilliseconds(2147483), 2147483000);
}

TEST_F(ViewInput, FailingTickReportsAndKeepsTheShowRunning) {
    ReportRecorder recorder;
    TempFolder pictures;
    pictures.write("bad_DUP.jpg", "not a jpeg");
    window->listFolder(pictures.slashed());
    window->state.settings.slideInterval = 1;
    form().ViewSlideShowExecute();
    QTRY_VERIFY_WITH_TIMEOUT(recorder.shown().size() >= 2, 5000);
    EXPECT_TRUE(probe(form()).slideTimer().ticking());
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Loading files ..."));
    form().ViewSlideShowExecute();
}

// The report of a failed slide is a real, modal message box: the show goes on beneath it.
TEST_F(ViewInput, SlidesGoOnWhileAFailedSlideReportIsOpen) {
    TempFolder pictures;
    pictures.write("bad_DUP.jpg", "not a jpeg");
    pictures.copyIn(testData("jpeg/testorig.jpg"), "good_DUP.jpg");
    window->replaceList({{pictures.file("bad"), "bad", PairKind::Parallel},
                         {pictures.file("good"), "good", PairKind::Parallel}});
    window->state.settings.slideInterval = 1;

    bool sawBox = false;
    bool goodShownUnderBox = false;
    QElapsedTimer clock;
    clock.start();
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        sawBox = sawBox || box != nullptr;
        if (box != nullptr && form().caption() == QStringLiteral("Duoptic - good - (Parallel)")) {
            goodShownUnderBox = true;
        }
        if (goodShownUnderBox || clock.elapsed() > 4500) {
            if (probe(form()).slideShowRunning()) {
                form().ViewSlideShowExecute();
            }
            if (box != nullptr) {
                box->reject();
            }
        }
    });
    watcher.start(20);
    form().ViewSlideShowExecute();
    QTRY_VERIFY_WITH_TIMEOUT(clock.elapsed() > 5000 || goodShownUnderBox, 6000);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    EXPECT_TRUE(sawBox);
    EXPECT_TRUE(goodShownUnderBox);
}

TEST_F(ViewInput, EnterAndSpaceNeedMoreThanOnePairAndNoSlideShow) {
    TempFolder pictures;
    pictures.copyIn(testData("jpeg/testorig.jpg"), "a_DUP.jpg");
    window->listFolder(pictures.slashed());
    QTest::keyClick(&form(), Qt::Key_Space);
    EXPECT_EQ(window->navigator.cursor(), 0);
    pictures.copyIn(testData("jpeg/testorig.jpg"), "b_DUP.jpg");
    window->listFolder(pictures.slashed());
    QTest::keyClick(&form(), Qt::Key_Return);
    EXPECT_EQ(window->navigator.cursor(), 1);
    QTest::keyClick(&form(), Qt::Key_Space, Qt::AltModifier);
    EXPECT_EQ(window->navigator.cursor(), 2);
    form().ViewSlideShowExecute();
    QTest::keyClick(&form(), Qt::Key_Space);
    EXPECT_EQ(window->navigator.cursor(), 2);
    form().ViewSlideShowExecute();
}

TEST_F(ViewInput, CenterBorderPromptUsesTheDialogFontAndCannotBeResized) {
    QFont used;
    QSize smallest, largest;
    // Looked at once the prompt has been shown and has laid itself out.
    QTimer::singleShot(200, [&] {
        QWidget* prompt = QApplication::activeModalWidget();
        ASSERT_NE(prompt, nullptr);
        used = prompt->font();
        smallest = prompt->minimumSize();
        largest = prompt->maximumSize();
        qobject_cast<QDialog*>(prompt)->reject();
    });
    form().ViewBorderExecute();
    EXPECT_EQ(used.family(), dialogFont().family());
    EXPECT_EQ(used.pixelSize(), 12);
    EXPECT_EQ(smallest, largest);
}

// Only a left press captures the pointer. A middle release steps to the next pair where it is
// made over an image area, wherever the press was.
TEST_F(ViewInput, MiddleReleaseCountsWhereThePointerIs) {
    TempFolder pictures;
    pictures.copyIn(testData("jpeg/testorig.jpg"), "a_DUP.jpg");
    pictures.copyIn(testData("jpeg/testorig.jpg"), "b_DUP.jpg");
    window->listFolder(pictures.slashed());
    QWidget* image = form().findChild<QWidget*>(QStringLiteral("PaintBox1"));
    QWidget* bar = this->bar("ScrollBarH");
    const QPoint overBar = image->mapFromGlobal(bar->mapToGlobal(QPoint(30, 10)));
    const QPoint overImage = bar->mapFromGlobal(image->mapToGlobal(QPoint(30, 30)));

    // Qt hands the release to the widget that was pressed, wherever the pointer is.
    QTest::mousePress(image, Qt::MiddleButton, {}, QPoint(30, 30));
    QTest::mouseRelease(image, Qt::MiddleButton, {}, overBar);
    EXPECT_EQ(window->navigator.cursor(), 0);

    QTest::mousePress(bar, Qt::MiddleButton, {}, QPoint(30, 10));
    QTest::mouseRelease(bar, Qt::MiddleButton, {}, overImage);
    EXPECT_EQ(window->navigator.cursor(), 1);

    // Two buttons let go within one millisecond are two releases.
    for (Qt::MouseButton button : {Qt::MiddleButton, Qt::RightButton}) {
        QMouseEvent release(QEvent::MouseButtonRelease, overImage, bar->mapToGlobal(overImage),
                            button, Qt::NoButton, Qt::NoModifier);
        release.setTimestamp(quint64{1} << 40);
        QApplication::sendEvent(bar, &release);
    }
    EXPECT_EQ(window->navigator.cursor(), 2);
    EXPECT_TRUE(probe(form()).popupMenu()->isVisible());
    probe(form()).popupMenu()->close();
}

// Repeats of a held key made while its last press was handled are dropped; a later repeat, or a
// press of its own, steps.
TEST_F(ViewInput, RepeatsQueuedDuringAStepAreDropped) {
    TempFolder pictures;
    for (const char* name : {"a_DUP.jpg", "b_DUP.jpg", "c_DUP.jpg"}) {
        pictures.copyIn(testData("jpeg/testorig.jpg"), name);
    }
    window->listFolder(pictures.slashed());
    const auto space = [&](bool repeat, quint64 timestamp) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QString(), repeat);
        press.setTimestamp(timestamp);
        QApplication::sendEvent(&form(), &press);
        return window->navigator.cursor();
    };
    EXPECT_EQ(space(false, 5000), 1);
    EXPECT_EQ(space(true, 5000), 1);   // made while that step was loading
    EXPECT_EQ(space(true, 65000), 2);  // made a minute later
    EXPECT_EQ(space(false, 65000), 3); // a press of its own
}

// A step queued by a tick is dropped once its run of the show has ended. While a failed step
// is reported, a box for every further failure would nest event loops without end.
TEST(SlideShowSteps, RunOnlyWithinTheirRunAndOpenOneReportAtATime) {
    int steps = 0;
    int mostBoxes = 0;
    QTimer closer; // closes what is open, as a user would
    QObject::connect(&closer, &QTimer::timeout, [&] {
        int boxes = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                ++boxes;
                box->reject();
            }
        }
        mostBoxes = std::max(mostBoxes, boxes);
    });
    closer.start(200);
    SlideShow show([&] { throw Error(std::to_string(++steps)); }, [](bool) {});
    show.start(1000);
    show.tick();
    show.stop();
    show.start(1000); // a new run before the queue reached the step of the old one
    QCoreApplication::processEvents();
    EXPECT_EQ(steps, 0);
    QTimer::singleShot(0, [&] { show.tick(); }); // ticks on beneath the first report
    show.tick();
    QTRY_VERIFY(steps == 2 && QApplication::activeModalWidget() == nullptr);
    EXPECT_EQ(mostBoxes, 1);
}

TEST(DroppedPath, OnlyWholePathsOfThisMachine) {
    const auto path = [](const char* uri) { return localPathOf(QUrl::fromEncoded(uri)); };
    EXPECT_EQ(path("file:///a/%E9%20b"), "/a/\xE9 b"); // bytes, whatever their encoding
    EXPECT_EQ(path("file://LocalHost/a"), "/a");
    EXPECT_EQ(path("file://otherhost/a"), std::nullopt);
    EXPECT_EQ(path("file:///a%00/b"), std::nullopt);
}

TEST_F(ViewInput, SpeedButtonsNeverTakeTheFocus) {
    for (const char* name : {"bnTips", "bnRevers"}) {
        EXPECT_EQ(form().findChild<QWidget*>(QString::fromLatin1(name))->focusPolicy(),
                  Qt::NoFocus);
    }
    QTest::mouseClick(form().findChild<QWidget*>(QStringLiteral("bnRevers")), Qt::LeftButton);
    EXPECT_EQ(window->state.settings.viewerMode, "(Crossing)");
}

} // namespace
} // namespace duoptic::test
